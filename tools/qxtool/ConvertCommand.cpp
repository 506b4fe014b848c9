#include <memory>
#include <string>
#include <vector>

#include "tools/qxtool/Command.h"
#include "tools/qxtool/Convert.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

namespace {

// One row per source kind; the Convert command of the viewer offers the same three.
const Converter Converters[] = {
    {"md2", "qv1", &convertMd2},
    {"ply", "qm1", &convertPly},
    {"kfm", "qm2", &convertKfm},
};

const Converter* findConverter(const std::string& path) {
    const std::string ext = lowerExtension(path);
    for (const Converter& converter : Converters)
        if (ext == converter.from) return &converter;
    return nullptr;
}

std::string knownSources() {
    std::string list;
    for (const Converter& converter : Converters) list += (list.empty() ? "." : ", .") + std::string(converter.from);
    return list;
}

// The name the viewer proposes: the source less its last four characters (its dot and
// extension), plus the new extension.
std::string destinationFor(const std::string& source, const Converter& converter) {
    return source.substr(0, source.size() - 4) + "." + converter.to;
}

struct ConvertOptions {
    std::vector<std::string> sources;
    std::string output;
};

}  // namespace

CommandRun defineConvert(CLI::App& sub) {
    auto options = std::make_shared<ConvertOptions>();
    sub.add_option("SRC", options->sources, "Files to convert: " + knownSources())->required();
    sub.add_option("-o", options->output, "Destination (with one SRC only)");
    return [options] {
        if (!options->output.empty() && options->sources.size() != 1) return usageError("-o takes exactly one SRC");
        int status = ExitOk;
        for (const std::string& source : options->sources) {
            const Converter* converter = findConverter(source);
            if (converter == nullptr) {
                status = fail(source, "cannot convert this file type (known: " + knownSources() + ")");
                continue;
            }
            const std::string destination =
                options->output.empty() ? destinationFor(source, *converter) : options->output;
            const int result = converter->convert(source, destination);
            if (result != ExitOk) status = result;
        }
        return status;
    };
}

}  // namespace qx::tool
