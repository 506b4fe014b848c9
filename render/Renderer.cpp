#include "render/Renderer.h"

#include <GL/gl.h>

#include <algorithm>

#include "animation/SkeletalDrawable.h"
#include "core/Drawable.h"
#include "core/ModelKind.h"
#include "render/OverlayDrawing.h"
#include "skeletal/SkeletalMesh.h"
#include "vertex/VertexDrawable.h"
#include "vertex/VertexModel.h"

namespace qx {

namespace {

template <typename T, typename Index>
bool inside(const std::vector<T>& list, Index index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

// A face is drawn only when all three drawn corners find their position and normal: leaving
// out a single corner would shift every later triangle of the batch by one vertex.
const MeshFace* drawableFace(const SkeletalMesh& mesh, const SkeletalDrawable& d, std::int32_t faceIndex) {
    if (!inside(mesh.faces, faceIndex)) return nullptr;
    const MeshFace& face = mesh.faces[static_cast<std::size_t>(faceIndex)];
    for (int k = 0; k < 3; ++k)
        if (!inside(d.positions, face.positionIndex[k]) || !inside(d.normals, face.normalIndex[k])) return nullptr;
    return &face;
}

// A batch whose material is not in the list keeps the current colour rather than losing its faces.
void batchColour(const SkeletalMesh& mesh, const MaterialBatch& batch) {
    if (inside(mesh.materials, batch.materialIndex))
        glColor3fv(&mesh.materials[static_cast<std::size_t>(batch.materialIndex)].color.x);
}

void setCapability(GLenum capability, bool on) {
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

// The constant part of the state, in the order the viewer has always set it.
void applyFixedState() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_LIGHT0);
    // w = 0: a directional light. GL transforms the position by the modelview current now,
    // the identity of a fresh context, so the light shines from the viewer's side.
    const GLfloat position[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
}

}  // namespace

Renderer::Renderer() {
    for (int i = 0; i < SwitchCount; ++i) setState(i, true);
    applyFixedState();
}

Renderer::~Renderer() { clear(); }

void Renderer::submit(const Drawable& drawable) {
    switch (drawable.kind()) {
        case VertexKind:
            if (const auto* d = dynamic_cast<const VertexDrawable*>(&drawable)) vertex_.push_back(d);
            break;
        case SkeletalKind:
            if (const auto* d = dynamic_cast<const SkeletalDrawable*>(&drawable)) skeletal_.push_back(d);
            break;
        default:
            break;
    }
}

void Renderer::drawAll() {
    const bool models = overlays_.wireframe != Wireframe::Alone;
    if (models)
        for (const SkeletalDrawable* d : skeletal_) drawSkeletal(*d);
    labels_.clear();
    if (overlays_.any())
        for (const SkeletalDrawable* d : skeletal_) drawOverlaysOf(*d);
    const bool culling = isEnabled(Culling);
    if (culling) setState(Culling, false);
    if (models)
        for (const VertexDrawable* d : vertex_) drawVertex(*d);
    if (overlays_.any())
        for (const VertexDrawable* d : vertex_) drawOverlaysOf(*d);
    if (culling) setState(Culling, true);
}

void Renderer::drawOverlaysOf(const SkeletalDrawable& d) {
    computeOverlayGeometry(d, overlays_, geometry_);
    drawOverlays(geometry_, overlays_, d.positions);
    if (overlays_.boneNames && d.mesh != nullptr) projectBoneLabels(geometry_.bones, *d.mesh, labels_);
}

void Renderer::drawOverlaysOf(const VertexDrawable& d) {
    OverlayOptions options = overlays_;
    // A vertex model has no bones to show.
    options.skeleton = options.boneNames = false;
    options.selectedBone = -1;
    computeOverlayGeometry(d, options, geometry_);
    drawOverlays(geometry_, options, d.positions);
}

void Renderer::clear() {
    vertex_.clear();
    skeletal_.clear();
}

void Renderer::setState(int index, bool on) {
    if (index < 0 || index >= SwitchCount) return;
    states_[index] = on ? 1 : 0;
    applySwitch(index);
}

bool Renderer::isEnabled(int index) const {
    if (index < 0 || index >= SwitchCount) return false;
    return states_[index] != 0;
}

void Renderer::applyToCurrentContext() const {
    for (int i = 0; i < SwitchCount; ++i) applySwitch(i);
    applyFixedState();
}

void Renderer::applySwitch(int index) const {
    const bool on = states_[index] != 0;
    switch (index) {
        case Lighting:
            setCapability(GL_LIGHTING, on);
            break;
        case Texturing:
            setCapability(GL_TEXTURE_2D, on);
            break;
        case DepthWrites:
            glDepthMask(on ? GL_TRUE : GL_FALSE);
            break;
        case Culling:
            setCapability(GL_CULL_FACE, on);
            break;
        default:
            break;
    }
}

void Renderer::drawSkeletal(const SkeletalDrawable& d) const {
    if (d.mesh == nullptr) return;
    const SkeletalMesh& mesh = *d.mesh;
    const bool textured = isEnabled(Lighting) && isEnabled(Texturing);
    for (const TextureGroup& group : mesh.renderGroups) {
        // A texture index that names no texture, or a texture whose image is missing (no GL
        // name, so bind would leave the one bound before), draws the group as an untextured one.
        const Texture* texture = nullptr;
        if (textured && inside(mesh.textures, group.textureIndex) &&
            mesh.textures[static_cast<std::size_t>(group.textureIndex)].glName != 0)
            texture = &mesh.textures[static_cast<std::size_t>(group.textureIndex)];
        drawGroup(d, group, texture);
    }
}

void Renderer::drawGroup(const SkeletalDrawable& d, const TextureGroup& group, const Texture* texture) const {
    const SkeletalMesh& mesh = *d.mesh;
    // With texturing on, whatever texture is still bound (the last group's, or the one a
    // reader just uploaded) would tint untextured faces by the texel at the last coordinate
    // sent; they show their material colour only with texturing off while they are drawn.
    const bool switchOff = texture == nullptr && isEnabled(Texturing);
    if (texture != nullptr) texture->bind();
    if (switchOff) setCapability(GL_TEXTURE_2D, false);
    for (const MaterialBatch& batch : group.batches) {
        batchColour(mesh, batch);
        glBegin(GL_TRIANGLES);
        for (const std::int32_t faceIndex : batch.faceIndices) {
            const MeshFace* face = drawableFace(mesh, d, faceIndex);
            if (face == nullptr) continue;
            // Only the first mapping is drawn; a face without one keeps the current coordinate.
            const FaceMapping* mapping =
                texture == nullptr || face->mappings.empty() ? nullptr : &face->mappings.front();
            for (int k = 0; k < 3; ++k) {
                if (mapping != nullptr) glTexCoord2fv(mapping->uv[k]);
                glNormal3fv(&d.normals[static_cast<std::size_t>(face->normalIndex[k])].x);
                glVertex3fv(&d.positions[static_cast<std::size_t>(face->positionIndex[k])].x);
            }
        }
        glEnd();
    }
    if (switchOff) setCapability(GL_TEXTURE_2D, true);
}

void Renderer::drawVertex(const VertexDrawable& d) const {
    if (d.instance == nullptr) return;
    const VertexModel& model = d.model();
    model.skin.bind();
    // A skin whose image is missing binds nothing: the texture bound before would show on the
    // model, which is drawn in the current colour instead.
    const bool imageless = isEnabled(Texturing) && model.skin.glName == 0;
    if (imageless) setCapability(GL_TEXTURE_2D, false);
    // The drawable's lists hold every vertex the frames hold (none without frames), and an
    // index beyond them is skipped; entries past vertexCount are stale.
    const std::size_t limit = std::min({vertexCountOf(model), d.positions.size(), d.normals.size()});
    for (const DrawCommand& command : model.commands) {
        glBegin(command.type == TriangleStrip ? GL_TRIANGLE_STRIP : GL_TRIANGLE_FAN);
        for (const CommandVertex& v : command.vertices) {
            if (v.vertexIndex < 0 || static_cast<std::size_t>(v.vertexIndex) >= limit) continue;
            glTexCoord2f(v.s, v.t);
            glNormal3fv(&d.normals[static_cast<std::size_t>(v.vertexIndex)].x);
            glVertex3fv(&d.positions[static_cast<std::size_t>(v.vertexIndex)].x);
        }
        glEnd();
    }
    if (imageless) setCapability(GL_TEXTURE_2D, true);
}

}  // namespace qx
