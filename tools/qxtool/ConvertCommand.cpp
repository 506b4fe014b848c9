#include <memory>
#include <string>
#include <vector>

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
};

}  // namespace

CommandRun defineConvert(CLI::App& sub) {
    auto options = std::make_shared<ConvertOptions>();
    sub.add_option("SRC", options->sources, "Files to convert: " + convertibleExtensions())->required();
    sub.add_option("-o", options->output, "Destination (with one SRC only)");
    return [options] {
        if (!options->output.empty() && options->sources.size() != 1) return usageError("-o takes exactly one SRC");
        int status = ExitOk;
        for (const std::string& source : options->sources) {
            std::string reason;
            const std::optional<Conversion> conversion = findConversion(source);
            const std::unique_ptr<ConvertedFile> converted = convertFile(source, &reason);
            if (!converted) {
                status = fail(source, reason);
                continue;
            }
            const std::string destination =
                options->output.empty() ? destinationFor(source, *conversion) : options->output;
            if (!converted->write(destination, &reason)) status = fail(destination, reason);
        }
        return status;
    };
}

}  // namespace qx::tool
