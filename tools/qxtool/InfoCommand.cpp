#include <memory>
#include <string>
#include <vector>

#include "tools/qxtool/Command.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

CommandRun defineInfo(CLI::App& sub) {
    auto files = std::make_shared<std::vector<std::string>>();
    sub.add_option("FILE", *files, "Model, motion or image files")->required();
    return [files] {
        int status = ExitOk;
        for (const std::string& path : *files) {
            const FileKind* kind = findFileKind(path);
            const int result = kind ? kind->info(path) : fail(path, "unknown file type");
            if (result != ExitOk) status = result;
        }
        return status;
    };
}

}  // namespace qx::tool
