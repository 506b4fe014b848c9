// A file gets one answer whichever command takes it: each kind, valid or damaged, under a wrong
// name or holding another kind's bytes, is taken or refused with the same reason as the opening
// module gives, by every qxtool command that takes a file of its role.

#include <gtest/gtest.h>

#include "core/FileTypes.h"
#include "scene/OpenFile.h"
#include "tests/support/OpeningCases.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

TEST(Opening, EveryCommandGivesAFileTheSameAnswer) {
    test::TempDir dir;
    const std::string mesh = test::quoted((test::sourceDir() / "samples" / "figure.qm1").string());
    const std::string out = test::quoted(dir.file("out"));
    for (const test::OpeningCase& c : test::writeOpeningCases(dir.path().string())) {
        SCOPED_TRACE(c.path);
        std::string reason;
        const bool opens = c.motion ? readMotionToPlay(c.path, &reason) != nullptr
                                    : static_cast<bool>(readModelToShow(c.path, &reason, ImageLoading::Skip));
        EXPECT_EQ(opens, c.valid) << reason;
        const std::string file = test::quoted(c.path);
        std::vector<std::string> commands =
            c.motion ? std::vector<std::string>{"render " + mesh + " --out " + out + ".png --motion " + file,
                                                "animate " + mesh + " " + file, "sample " + file + " 0",
                                                "export " + mesh + " " + file + " -o " + out + ".glb"}
                     : std::vector<std::string>{"render " + file + " --out " + out + ".png",
                                                "thumbnail " + file + " " + out + ".png",
                                                "export " + file + " -o " + out + ".glb"};
        if (const FileTypeRow* row = fileTypeOf(c.path); row != nullptr && row->convertsTo != nullptr)
            commands.push_back("convert " + file + " -o " + out + "." + row->convertsTo);
        for (const std::string& command : commands) {
            const test::CommandResult run = test::runQxtool(command);
            EXPECT_EQ(run.status, opens ? 0 : 1) << command << '\n' << run.err;
            if (!opens) { EXPECT_EQ(run.err, "qxtool: " + c.path + ": " + reason + "\n") << command; }
        }
    }
}

}  // namespace
}  // namespace qx
