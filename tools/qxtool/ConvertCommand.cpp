#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/FilePath.h"
#include "import/Conversion.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

namespace {

// The name the viewer proposes: the source less its last four characters (its dot and
// extension), plus the new extension.
std::string destinationFor(const std::string& source, const Conversion& conversion) {
    return source.substr(0, source.size() - 4) + "." + conversion.to;
}

struct ConvertOptions {
    std::vector<std::string> sources;
    std::string output;
    float framesPerSecond = 15.0f;
};

bool isGltf(const std::string& source) {
    const std::string extension = lowerExtension(source);
    return extension == "glb" || extension == "gltf";
}

// A glTF's destination: DST as given, or DST with the extension of what the file became (a
// model extension given, the right one in its place).
std::string gltfDestination(const std::string& output, const ConvertedFile& converted) {
    const std::string extension = lowerExtension(output);
    if (extension == converted.extension()) return output;
    const std::filesystem::path path(output);
    if (extension == "qm1" || extension == "qv1")
        return (path.parent_path() / path.stem()).string() + "." + converted.extension();
    return output + "." + converted.extension();
}

std::string stemOf(const std::string& output) {
    const std::string extension = lowerExtension(output);
    const std::filesystem::path path(output);
    return extension == "qm1" || extension == "qv1" ? path.stem().string() : path.filename().string();
}

}  // namespace

CommandRun defineConvert(CLI::App& sub) {
    auto options = std::make_shared<ConvertOptions>();
    sub.add_option("SRC", options->sources, "Files to convert: " + convertibleExtensions())->required();
    sub.add_option("-o", options->output, "Destination (with one SRC only)");
    sub.add_option("--fps", options->framesPerSecond,
                   "Frames a second a glTF without a skin is sampled at (its vertex model's rate)")
        ->check(CLI::PositiveNumber);
    return [options] {
        if (!options->output.empty() && options->sources.size() != 1) return usageError("-o takes exactly one SRC");
        int status = ExitOk;
        for (const std::string& source : options->sources) {
            std::string reason;
            const std::optional<Conversion> conversion = findConversion(source);
            const bool gltf = isGltf(source);
            const std::string stem = gltf && !options->output.empty() ? stemOf(options->output) : std::string();
            const std::unique_ptr<ConvertedFile> converted =
                convertFile(source, &reason, {options->framesPerSecond}, stem);
            if (!converted) {
                status = fail(source, reason);
                continue;
            }
            std::string destination = options->output.empty() ? destinationFor(source, *conversion) : options->output;
            if (gltf) {
                destination = options->output.empty() ? convertedPath(source, converted->extension())
                                                      : gltfDestination(options->output, *converted);
                for (const std::string& note : converted->gltf->notes)
                    std::fprintf(stderr, "qxtool: %s: %s\n", source.c_str(), note.c_str());
            }
            if (!converted->write(destination, &reason)) status = fail(destination, reason);
        }
        return status;
    };
}

}  // namespace qx::tool
