#include "render/GlTextureName.h"

#include <GL/gl.h>

#include <utility>

namespace qx {

GlTextureName::GlTextureName(GlTextureName&& other) noexcept : name_(std::exchange(other.name_, 0u)) {}

GlTextureName& GlTextureName::operator=(GlTextureName&& other) noexcept {
    if (this != &other) {
        reset();
        name_ = std::exchange(other.name_, 0u);
    }
    return *this;
}

GlTextureName::~GlTextureName() { reset(); }

void GlTextureName::create() {
    reset();
    glGenTextures(1, &name_);
}

void GlTextureName::reset() {
    if (name_ != 0) glDeleteTextures(1, &name_);
    name_ = 0;
}

}  // namespace qx
