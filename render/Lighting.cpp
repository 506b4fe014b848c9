#include "render/Lighting.h"

#include <GL/gl.h>

namespace qx {

namespace {
// 1/255 as the panel has always scaled its 0..255 sliders.
constexpr float ByteScale = 0.003921569f;
}  // namespace

void applyLighting(const LightingSettings& s) {
    const GLfloat ambient[4] = {s.ambient, s.ambient, s.ambient, 0.0f};
    const GLfloat emission[4] = {s.ambient, s.ambient, s.ambient, 1.0f};
    const GLfloat specular[4] = {s.specular, s.specular, s.specular, 0.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_EMISSION, emission);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glClearColor(static_cast<float>(s.red) * ByteScale, static_cast<float>(s.green) * ByteScale,
                 static_cast<float>(s.blue) * ByteScale, 1.0f);
}

}  // namespace qx
