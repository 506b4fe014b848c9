#pragma once
// The one object that owns the program's OpenGL drawing state: four on/off switches (lighting,
// texturing, depth writes, back-face culling), the drawables the animated instances hand over
// during a tick, and the immediate-mode drawing of both model kinds.
//
// A tick goes: every view's instance is updated and its drawable submitted; the paint sets the
// camera, calls drawAll, then clear. The renderer only refers to drawables between submit and
// clear: clear before an instance (which owns its drawable) goes away.
//
// Every call issues its GL calls into the context current on the calling thread. The state set
// at construction lands in the context current then; a window opened later has a context of
// its own, and applyToCurrentContext gives it the same state (switches as they stand now).
//
// Drawing is immediate mode on purpose, as the viewer has always drawn: one glBegin/glEnd per
// material batch or draw command, one call per vertex attribute. Indices read from files are
// never trusted: a face whose corner indexes outside the drawable's positions or normals, a
// face, material or texture index outside the mesh's lists, and a command vertex outside the
// model's vertices are skipped, so nothing is read outside a list.
//
// After the models come the overlays the options ask for (render/OverlayDrawing.h), worked out
// from each drawable into lists the renderer keeps, so that after the first frame they cost no
// allocation. With the wireframe alone the models themselves are not drawn.
//
// Faces without a picture of their own (an untextured group, a texture or skin whose image is
// missing and so has no GL name) are drawn with texturing off, whatever the switch says: the
// texture still bound from before must not show on them.

#include <cstdint>
#include <vector>

#include "render/BoneLabels.h"
#include "render/OverlayGeometry.h"
#include "render/OverlayOptions.h"

namespace qx {

class Drawable;
class SkeletalDrawable;
class VertexDrawable;
class Texture;
struct TextureGroup;

class Renderer {
public:
    // Switch indices of setState and isEnabled, which take any int (an index outside 0..3 is
    // ignored), so the switches convert to int.
    enum Switch : int { Lighting = 0, Texturing = 1, DepthWrites = 2, Culling = 3 };
    static constexpr int SwitchCount = 4;

    // Needs a GL context current. Turns every switch on, then sets blending, the alpha test
    // (fully transparent texels are discarded), smooth shading, the clear values (black, depth
    // 1), the depth test (LEQUAL), the perspective hint, light 0 (directional along +z through
    // the modelview current now, white diffuse) and colour material on the front diffuse.
    Renderer();
    // Forgets the submitted drawables; issues no GL call, so no context need be current.
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Files a drawable by its kind(): 0 vertex, 1 skeletal; any other kind is ignored. The same
    // drawable submitted twice is drawn twice.
    void submit(const Drawable& drawable);
    // Draws the skeletal drawables in submission order, then the vertex ones with culling off
    // (vertex models are drawn two-sided); the culling switch reads afterwards as before.
    // Then the overlays of each, those of vertex models with culling off too, and with bone
    // names asked for, the labels of the skeletal ones (boneLabels).
    // The caller has set the viewport, projection and camera modelview.
    void drawAll();
    // Empties both lists; the drawables are not touched.
    void clear();

    // Stores a switch and applies its GL effect: GL_LIGHTING, GL_TEXTURE_2D, the depth mask,
    // GL_CULL_FACE. An index outside 0..3 is ignored.
    void setState(int index, bool on);
    // The stored switch; false for an index outside 0..3.
    bool isEnabled(int index) const;

    // Gives the context current now the renderer's whole state: the four switches as they
    // stand, then the fixed state of construction. For a newly made context (its modelview
    // is the identity, so light 0 comes from the viewer's side as in the first one).
    void applyToCurrentContext() const;

    // What drawAll draws after the models; nothing at construction.
    void setOverlays(const OverlayOptions& options) { overlays_ = options; }
    const OverlayOptions& overlays() const { return overlays_; }
    // The bone names' places in the last drawAll, for the caller to draw as text; empty unless
    // the overlays ask for bone names. Valid while the drawables' meshes are.
    const std::vector<BoneLabel>& boneLabels() const { return labels_; }

    std::size_t skeletalCount() const { return skeletal_.size(); }
    std::size_t vertexCount() const { return vertex_.size(); }

private:
    void applySwitch(int index) const;
    void drawSkeletal(const SkeletalDrawable& drawable) const;
    // Draws the group with the texture bound and its faces' first mappings, or, with none,
    // in the material colours with texturing off while it is drawn.
    void drawGroup(const SkeletalDrawable& drawable, const TextureGroup& group, const Texture* texture) const;
    void drawVertex(const VertexDrawable& drawable) const;
    void drawOverlaysOf(const SkeletalDrawable& drawable);
    void drawOverlaysOf(const VertexDrawable& drawable);

    std::vector<const VertexDrawable*> vertex_;
    std::vector<const SkeletalDrawable*> skeletal_;
    std::int32_t states_[SwitchCount] = {};
    OverlayOptions overlays_;
    OverlayGeometry geometry_;  // reused drawable after drawable
    std::vector<BoneLabel> labels_;
};

}  // namespace qx
