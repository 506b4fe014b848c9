#include <cctype>
#include <iostream>
#include <memory>
#include <string>

#include "core/Sha256.h"
#include "render/PngWriter.h"
#include "render/Texture.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Json.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

namespace {
struct ImageOptions {
    std::string image;
    std::string out;
};
}  // namespace

CommandRun defineImage(CLI::App& sub) {
    auto options = std::make_shared<ImageOptions>();
    sub.add_option("IMAGE", options->image, "A .bmp, .tga, .png or .jpg image")->required();
    sub.add_option("--out", options->out, "Also write the decoded pixels as this PNG file");
    return [options] {
        Texture texture;
        std::string reason;
        if (!texture.loadImage(options->image, &reason)) return fail(options->image, reason);
        const std::vector<std::uint8_t> rgba = displayRgba(texture);
        if (!options->out.empty() && !writePng(options->out, rgba.data(), texture.width, texture.height, &reason))
            return fail(options->out, reason);
        Json out;
        out["width"] = texture.width;
        out["height"] = texture.height;
        out["bits"] = texture.bits;
        out["rgbaOrder"] = texture.rgbaOrder;
        out["rgbaSha256"] = sha256Hex(rgba);
        printJson(out);
        return ExitOk;
    };
}

int infoImage(const std::string& path) {
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

}  // namespace qx::tool
