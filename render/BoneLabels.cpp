#include "render/BoneLabels.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "render/StrokeFont.h"
#include "skeletal/SkeletalMesh.h"

namespace qx {

namespace {

// Pixels a font unit: capitals 7.5 pixels tall, readable in a 256-pixel thumbnail.
constexpr float Unit = 1.25f;
// From the bone's midpoint to the name's start.
constexpr float Gap = 5.0f;

}  // namespace

void projectBoneLabels(const std::vector<BoneSegment>& bones, const SkeletalMesh& mesh, std::vector<BoneLabel>& out) {
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const std::size_t first = out.size();
    for (std::size_t b = 0; b < bones.size() && b < mesh.bones.size(); ++b) {
        const Vector3 mid = (bones[b].start + bones[b].end) * 0.5f;
        GLdouble x = 0.0, y = 0.0, z = 0.0;
        if (gluProject(mid.x, mid.y, mid.z, modelview, projection, viewport, &x, &y, &z) != GL_TRUE) continue;
        if (!(z >= 0.0 && z <= 1.0)) continue;
        out.push_back({mesh.bones[b].name, static_cast<float>(x - viewport[0]),
                       static_cast<float>(viewport[3] - (y - viewport[1])), static_cast<std::int32_t>(b)});
    }
    if (out.size() == first) return;
    double sum = 0.0;
    for (std::size_t i = first; i < out.size(); ++i) sum += out[i].x;
    const double middle = sum / static_cast<double>(out.size() - first);
    // A pixel's grace keeps the names of bones on the middle line (spine, head) on one side.
    for (std::size_t i = first; i < out.size(); ++i) out[i].leftward = out[i].x < middle - 1.0;
}

void drawBoneLabels(const std::vector<BoneLabel>& labels, int viewportWidth, int viewportHeight) {
    if (labels.empty()) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, viewportWidth, viewportHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    // Always passes, yet writes depth: the names count as drawn where coverage is read.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    const float half = StrokeCapHeight * Unit * 0.5f;
    const auto left = [](const BoneLabel& l) {
        return l.leftward ? l.x - Gap - strokeTextWidth(l.name, Unit) : l.x + Gap;
    };
    // A shadow a pixel down and right, then the letters: one pixel wide, since wide lines cost
    // the software rasterizer several times as much.
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_LINES);
    for (const BoneLabel& l : labels) strokeText(l.name, left(l) + 1.0f, l.y + half + 1.0f, Unit);
    glEnd();
    glColor4f(1.0f, 1.0f, 0.85f, 1.0f);
    glBegin(GL_LINES);
    for (const BoneLabel& l : labels) strokeText(l.name, left(l), l.y + half, Unit);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace qx
