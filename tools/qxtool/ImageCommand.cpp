#include <iostream>
#include <memory>
#include <string>

#include "core/Sha256.h"
#include "render/PngWriter.h"
#include "render/Texture.h"
#include "tools/qxtool/Command.h"
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

}  // namespace qx::tool
