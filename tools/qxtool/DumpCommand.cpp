#include <memory>
#include <string>

#include "tools/qxtool/Command.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

CommandRun defineDump(CLI::App& sub) {
    auto file = std::make_shared<std::string>();
    sub.add_option("FILE", *file, "A .qm1, .qm2, .qv1, .ply, .kfm or .md2 file")->required();
    return [file] {
        const FileKind* kind = findFileKind(*file);
        if (kind == nullptr || kind->dump == nullptr) return fail(*file, "cannot dump this file type");
        return kind->dump(*file);
    };
}

}  // namespace qx::tool
