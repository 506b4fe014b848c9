// The image kinds (.bmp, .tga, .png, .jpg): summarised as the viewer decodes them. They have no
// dump (`image` prints their pixels' fingerprint) and render does not draw them.

#include <cctype>
#include <iostream>
#include <string>

#include "render/Texture.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

namespace {

int info(const std::string& path) {
    Texture texture;
    std::string reason;
    if (!texture.loadImage(path, &reason)) return fail(path, reason);
    std::string kind = lowerExtension(path);
    for (char& c : kind) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    bool opaque = true;
    for (std::size_t i = 3; i < texture.pixels.size() && opaque; i += 4) opaque = texture.pixels[i] == 255;
    std::cout << path << ": " << kind << " image\n"
              << "  size: " << texture.width << " x " << texture.height << '\n'
              << "  bits: " << texture.bits << '\n'
              << "  pixel bytes: " << (texture.rgbaOrder == 1 ? "R, G, B, A" : "B, G, R, A") << '\n'
              << "  alpha: " << (opaque ? "opaque" : "varies") << '\n';
    return ExitOk;
}

}  // namespace

const FileKind BmpKind{FileType::BmpImage, nullptr, &info};
const FileKind TgaKind{FileType::TgaImage, nullptr, &info};
const FileKind PngKind{FileType::PngImage, nullptr, &info};
const FileKind JpgKind{FileType::JpgImage, nullptr, &info};

}  // namespace qx::tool
