#pragma once
// A texture image: decoded from a BMP, TGA, PNG or JPEG file into 32-bit pixels, uploaded as a
// mipmapped OpenGL texture, bound before drawing. Owners call loadImage, then upload, then
// releasePixels; the texture stays bindable afterwards.
//
// A Texture owns an OpenGL name (GlTextureName), so it moves but does not copy.

#include <cstdint>
#include <string>
#include <vector>

#include "render/GlTextureName.h"

namespace qx {

// How a model reader treats its textures' images. The viewer and the off-screen renderer read
// with Upload (a GL context is current); inspection and conversion read with Skip, so that they
// need no GL at all and no image files.
enum class ImageLoading {
    Skip,    // keep the names only; no file is opened, no GL call is made
    Decode,  // decode into pixels and keep them; no GL call
    Upload,  // decode, upload in the current GL context, release the pixels
};

// What a skeletal mesh file stores for each of its textures.
struct TextureFileEntry {
    std::string name;            // the image file name as stored
    std::uint16_t auxWord1 = 0;  // two 16-bit values carried from the import
    std::uint16_t auxWord2 = 0;
};

// A mesh's texture is its file entry with the picture it names; a vertex model's skin has only
// the picture, and its entry stays empty.
class Texture : public TextureFileEntry {
public:
    // The GL constants, spelled out so that this header needs no GL header.
    static constexpr std::uint32_t GlClamp = 0x2900;   // GL_CLAMP
    static constexpr std::uint32_t GlLinear = 0x2601;  // GL_LINEAR

    // The picture, as the decoders leave it.
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bits = 0;
    std::int32_t rgbaOrder = 1;        // 1: R, G, B, A; 0: B, G, R, A
    std::vector<std::uint8_t> pixels;  // width * height * 4 bytes, bottom row first; empty = none
    // How it is sampled once uploaded.
    std::uint32_t wrapS = GlClamp;
    std::uint32_t wrapT = GlClamp;
    std::uint32_t minFilter = GlLinear;
    std::uint32_t magFilter = GlLinear;
    // The uploaded texture; 0 until upload makes one.
    GlTextureName glName;

    // Decodes the file into pixels, choosing the decoder by the last three characters of the
    // path. False (with a reason when asked) when nothing was decoded.
    bool loadImage(const std::string& path, std::string* reason = nullptr);
    // Creates the GL texture from pixels in the current context. Without pixels it creates
    // nothing and leaves glName 0.
    void upload();
    void bind() const;
    void releasePixels();
};

// Loads the image at path into texture as mode asks. A missing or undecodable image leaves an
// imageless texture (glName 0): models still load without their pictures.
void loadTextureImage(Texture& texture, const std::string& path, ImageLoading mode);

// The texture's picture as a person sees it: R, G, B, A bytes per pixel, top row first, rows back
// to back (whatever byte and row order the texture keeps). Empty when it holds no pixels.
std::vector<std::uint8_t> displayRgba(const Texture& texture);

// Where a texture name stored in a model file is found: a relative name beside the model file
// first, then relative to the current directory; an absolute name as it is.
std::string resolveImagePath(const std::string& name, const std::string& modelPath);

}  // namespace qx
