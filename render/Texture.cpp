#include "render/Texture.h"

#include <GL/gl.h>

#include <utility>

namespace qx {

Texture::Texture(Texture&& other) noexcept { *this = std::move(other); }

Texture& Texture::operator=(Texture&& other) noexcept {
    if (this == &other) return *this;
    deleteGlName();
    glName = std::exchange(other.glName, 0u);
    width = other.width;
    height = other.height;
    bits = other.bits;
    rgbaOrder = other.rgbaOrder;
    pixels = std::move(other.pixels);
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 4; ++j) palette[i][j] = other.palette[i][j];
    redMask = other.redMask;
    greenMask = other.greenMask;
    blueMask = other.blueMask;
    wrapS = other.wrapS;
    wrapT = other.wrapT;
    minFilter = other.minFilter;
    magFilter = other.magFilter;
    imageSize = other.imageSize;
    jpegAvailable = other.jpegAvailable;
    name = std::move(other.name);
    auxWord1 = other.auxWord1;
    auxWord2 = other.auxWord2;
    return *this;
}

Texture::~Texture() { deleteGlName(); }

void Texture::deleteGlName() {
    if (glName != 0) glDeleteTextures(1, &glName);
    glName = 0;
}

void Texture::releasePixels() { std::vector<std::uint8_t>().swap(pixels); }

void Texture::bind() const {
    if (glName != 0) glBindTexture(GL_TEXTURE_2D, glName);
}

}  // namespace qx
