#include "render/OverlayDrawing.h"

#include <GL/gl.h>

namespace qx {

namespace {

// Chosen to stand out on the default black background, on the samples' blue and skin tones, and
// from each other.
constexpr GLfloat SkeletonColour[4] = {1.0f, 0.85f, 0.1f, 1.0f};
constexpr GLfloat SelectedColour[4] = {1.0f, 0.2f, 0.9f, 1.0f};
constexpr GLfloat NormalColour[4] = {0.3f, 0.8f, 1.0f, 1.0f};
constexpr GLfloat BoundsColour[4] = {1.0f, 0.55f, 0.1f, 1.0f};
constexpr GLfloat GridColour[4] = {0.45f, 0.45f, 0.45f, 1.0f};
// Half see-through over the shaded model, so that its colours still read under the edges.
constexpr GLfloat WireOverColour[4] = {1.0f, 1.0f, 1.0f, 0.45f};
constexpr GLfloat WireAloneColour[4] = {0.85f, 0.85f, 0.85f, 1.0f};

void vertex(const Vector3& v) { glVertex3f(v.x, v.y, v.z); }

void drawGrid(const GroundGrid& g) {
    if (g.spacing <= 0.0f) return;
    glColor4fv(GridColour);
    glBegin(GL_LINES);
    for (std::int32_t i = 0; i < g.linesX; ++i) {
        const float x = g.lowX + static_cast<float>(i) * g.spacing;
        glVertex3f(x, g.height, g.lowZ);
        glVertex3f(x, g.height, g.highZ);
    }
    for (std::int32_t k = 0; k < g.linesZ; ++k) {
        const float z = g.lowZ + static_cast<float>(k) * g.spacing;
        glVertex3f(g.lowX, g.height, z);
        glVertex3f(g.highX, g.height, z);
    }
    glEnd();
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    const Vector3 origin{0.0f, g.height, 0.0f};
    const Vector3 axes[3] = {UnitX, UnitY, UnitZ};
    for (int a = 0; a < 3; ++a) {
        glColor3f(a == 0 ? 1.0f : 0.0f, a == 1 ? 1.0f : 0.0f, a == 2 ? 1.0f : 0.0f);
        vertex(origin);
        vertex(origin + axes[a] * g.axisLength);
    }
    glEnd();
    glLineWidth(1.0f);
}

void drawBox(const BoundingBox& box) {
    if (box.empty) return;
    glColor4fv(BoundsColour);
    const auto corner = [&box](int i) {
        return Vector3{(i & 1) != 0 ? box.high.x : box.low.x, (i & 2) != 0 ? box.high.y : box.low.y,
                       (i & 4) != 0 ? box.high.z : box.low.z};
    };
    glBegin(GL_LINES);
    // The 12 edges join the corners that differ in one axis.
    for (int i = 0; i < 8; ++i) {
        for (int axis = 1; axis < 8; axis *= 2) {
            if ((i & axis) != 0) continue;
            vertex(corner(i));
            vertex(corner(i | axis));
        }
    }
    glEnd();
}

void drawWireframe(const std::vector<std::uint32_t>& triangles, const std::vector<Vector3>& positions, Wireframe mode) {
    if (triangles.empty()) return;
    glColor4fv(mode == Wireframe::Over ? WireOverColour : WireAloneColour);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    if (mode == Wireframe::Over) {
        // Pulled towards the viewer, so that an edge wins over the face it borders.
        glEnable(GL_POLYGON_OFFSET_LINE);
        glPolygonOffset(-1.0f, -1.0f);
    }
    glVertexPointer(3, GL_FLOAT, sizeof(Vector3), positions.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(triangles.size()), GL_UNSIGNED_INT, triangles.data());
}

void drawNormals(const std::vector<Vector3>& lines) {
    if (lines.empty()) return;
    glColor4fv(NormalColour);
    glVertexPointer(3, GL_FLOAT, sizeof(Vector3), lines.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(lines.size()));
}

void drawBone(const BoneSegment& bone) {
    vertex(bone.start);
    vertex(bone.end);
}

void drawSkeleton(const std::vector<BoneSegment>& bones, bool all, std::int32_t selected) {
    const bool hasSelected = selected >= 0 && static_cast<std::size_t>(selected) < bones.size();
    if (!all && !hasSelected) return;
    // Never hidden by the model, yet writing depth, so that it counts as drawn where coverage
    // is read (the thumbnails' ground).
    glDepthFunc(GL_ALWAYS);
    if (all) {
        glLineWidth(2.0f);
        glColor4fv(SkeletonColour);
        glBegin(GL_LINES);
        for (const BoneSegment& bone : bones) drawBone(bone);
        glEnd();
        glPointSize(5.0f);
        glBegin(GL_POINTS);
        for (const BoneSegment& bone : bones) vertex(bone.start);
        glEnd();
    }
    if (hasSelected) {
        const BoneSegment& bone = bones[static_cast<std::size_t>(selected)];
        glLineWidth(3.0f);
        glColor4fv(SelectedColour);
        glBegin(GL_LINES);
        drawBone(bone);
        glEnd();
        glPointSize(7.0f);
        glBegin(GL_POINTS);
        vertex(bone.start);
        glEnd();
    }
}

}  // namespace

void drawOverlays(const OverlayGeometry& g, const OverlayOptions& o, const std::vector<Vector3>& positions) {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_POLYGON_BIT |
                 GL_DEPTH_BUFFER_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_LIGHTING);
    // With colour material on, every colour set here would also become the material's diffuse
    // colour, which the next frame's faces without a material of their own are lit with.
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (o.grid) drawGrid(g.grid);
    if (o.bounds) drawBox(g.bounds);
    if (o.wireframe != Wireframe::Off) drawWireframe(g.triangles, positions, o.wireframe);
    glDisable(GL_POLYGON_OFFSET_LINE);
    if (o.normals) drawNormals(g.normalLines);
    drawSkeleton(g.bones, o.skeleton, o.selectedBone);
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace qx
