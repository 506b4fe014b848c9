#include "render/Texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/FileBytes.h"
#include "core/FileTypes.h"
#include "render/ImageDecoders.h"

namespace qx {

void Texture::releasePixels() { std::vector<std::uint8_t>().swap(pixels); }

void Texture::bind() const {
    if (glName != 0) glBindTexture(GL_TEXTURE_2D, glName);
}

bool Texture::loadImage(const std::string& path, std::string* reason) {
    releasePixels();
    using Decoder = bool (*)(const std::uint8_t*, std::size_t, Texture&, std::string*);
    // The file's last three characters choose the decoder, never its contents; "skin.jpeg"
    // therefore matches nothing.
    std::string ending = path.size() >= 3 ? path.substr(path.size() - 3) : std::string();
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const FileTypeRow* row = fileTypeOfExtension(ending);
    Decoder decode = nullptr;
    if (row != nullptr && row->role == FileRole::Image) {
        switch (row->type) {
            case FileType::BmpImage:
                decode = &decodeBmp;
                break;
            case FileType::JpgImage:
                decode = &decodeJpeg;
                break;
            case FileType::PngImage:
                decode = [](const std::uint8_t* d, std::size_t n, Texture& t, std::string* r) {
                    return decodePng(d, n, t, r);
                };
                break;
            case FileType::TgaImage:
                decode = &decodeTga;
                break;
            default:
                break;
        }
    }
    if (decode == nullptr) {
        setReason(reason, "not an image name ending in bmp, jpg, png or tga");
        return false;
    }
    FileBytes bytes;
    if (!readFileBytes(path, bytes, reason)) return false;
    return decode(bytes.data(), bytes.size(), *this, reason);
}

void Texture::upload() {
    glName.reset();
    const std::size_t expected = width > 0 && height > 0 ? std::size_t(width) * std::size_t(height) * 4 : 0;
    if (pixels.empty() || pixels.size() != expected) return;
    // With no context current the GL entry points do nothing and report no version: a texture
    // then stays nameless rather than holding a name that was never made.
    if (glGetString(GL_VERSION) == nullptr) return;
    glName.create();
    glBindTexture(GL_TEXTURE_2D, glName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrapT));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, rgbaOrder == 1 ? GL_RGBA : GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                      pixels.data());
}

void loadTextureImage(Texture& texture, const std::string& path, ImageLoading mode) {
    if (mode == ImageLoading::Skip) return;
    texture.loadImage(path);
    if (mode == ImageLoading::Upload) {
        texture.upload();
        texture.releasePixels();
    }
}

std::vector<std::uint8_t> displayRgba(const Texture& texture) {
    const std::size_t width = texture.width > 0 ? static_cast<std::size_t>(texture.width) : 0;
    const std::size_t height = texture.height > 0 ? static_cast<std::size_t>(texture.height) : 0;
    if (texture.pixels.empty() || texture.pixels.size() != width * height * 4) return {};
    std::vector<std::uint8_t> rgba(texture.pixels.size());
    const bool swap = texture.rgbaOrder == 0;
    for (std::size_t y = 0; y < height; ++y) {
        // Textures keep the bottom row first.
        const std::uint8_t* s = texture.pixels.data() + (height - 1 - y) * width * 4;
        std::uint8_t* d = rgba.data() + y * width * 4;
        for (std::size_t x = 0; x < width; ++x, s += 4, d += 4) {
            d[0] = swap ? s[2] : s[0];
            d[1] = s[1];
            d[2] = swap ? s[0] : s[2];
            d[3] = s[3];
        }
    }
    return rgba;
}

namespace {

bool isFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string resolveImagePath(const std::string& name, const std::string& modelPath) {
    if (name.empty()) return name;
    const std::filesystem::path stored(name);
    if (stored.is_absolute()) return name;
    const std::filesystem::path folder = std::filesystem::path(modelPath).parent_path();
    if (!folder.empty()) {
        const std::filesystem::path beside = folder / stored;
        if (isFile(beside)) return beside.string();
    }
    // The old lookup: relative to the current directory. A name that is found nowhere is
    // returned as stored, so that a failure names what the model asked for.
    return name;
}

}  // namespace qx
