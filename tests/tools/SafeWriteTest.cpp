// Writers commit whole files or nothing: when the disk refuses the bytes (a file size limit, as
// a full disk or quota would) or the folder refuses a new file (read-only), the previous file
// stays as it was and the failure is reported, both in the writers and through qxtool convert.

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "core/ByteSink.h"
#include "scene/OpenFile.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/MotionBuilder.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "vertex/VertexModelFile.h"

namespace qx {
namespace {

constexpr rlim_t SizeLimit = 4096;

constexpr uid_t Nobody = 65534;

// Runs write in a child process after confine has narrowed what the child may do. Returns the
// child's exit status: 0 when write reported failure with a reason, 1 when it claimed success.
int writeInChild(const std::function<void()>& confine, const std::function<bool(std::string*)>& write) {
    const pid_t child = fork();
    if (child == 0) {
        confine();
        std::string reason;
        const bool ok = write(&reason);
        _exit(!ok && !reason.empty() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Files may not grow past SizeLimit bytes, as on a full disk.
int writeUnderSizeLimit(const std::function<bool(std::string*)>& write) {
    return writeInChild(
        [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{SizeLimit, SizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        },
        write);
}

// Read-only folders refuse new files: root ignores folder permissions, so a root child first
// becomes an unprivileged user.
int writeWithoutPrivileges(const std::function<bool(std::string*)>& write) {
    return writeInChild(
        [] {
            if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0)) _exit(2);
        },
        write);
}

// The prefix that runs a command line as an unprivileged user (nothing when we are not root).
std::string unprivileged() { return geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : ""; }

// The folder refuses new files while the file in it may still be written: only the temporary
// beside the file is refused.
void makeReadOnly(const std::filesystem::path& dir, const std::string& file) {
    namespace fs = std::filesystem;
    fs::permissions(file, fs::perms::all);
    fs::permissions(dir,
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
}

std::size_t entriesIn(const std::filesystem::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

SkeletalMotion largeMotion() {
    SkeletalMotion motion;
    MotionTrack track = test::track("bone");
    for (int k = 0; k < 1000; ++k) track.channels[0].keys.push_back(test::key(static_cast<float>(k), 1.0f));
    motion.tracks.push_back(track);
    return motion;
}

TEST(SafeWrite, WritersFailingForSpaceKeepThePreviousFile) {
    test::TempDir dir;
    const std::vector<std::uint8_t> previous = {'o', 'l', 'd'};
    const std::string motionPath = dir.file("walk.qm2");
    const std::string meshPath = dir.file("body.qm1");
    const std::string modelPath = dir.file("flag.qv1");
    for (const auto& path : {motionPath, meshPath, modelPath}) test::writeBytes(path, previous);

    EXPECT_EQ(writeUnderSizeLimit([&](std::string* r) { return writeSkeletalMotion(motionPath, largeMotion(), r); }),
              0);

    SkeletalMesh mesh;
    mesh.positions.assign(1000, Vector3{1.0f, 2.0f, 3.0f});
    EXPECT_EQ(writeUnderSizeLimit([&](std::string* r) { return writeSkeletalMesh(meshPath, mesh, r); }), 0);

    VertexModel model;
    model.vertexCount = 500;
    model.frames.resize(2);
    for (auto& frame : model.frames) frame.vertices.resize(500);
    EXPECT_EQ(writeUnderSizeLimit([&](std::string* r) { return writeVertexModel(modelPath, model, r); }), 0);

    for (const auto& path : {motionPath, meshPath, modelPath}) EXPECT_EQ(test::readBytes(path), previous) << path;
    EXPECT_EQ(entriesIn(dir.path()), 3u);  // no temporary file left behind
}

TEST(SafeWrite, SmallFilesStillWriteUnderTheLimit) {
    test::TempDir dir;
    const std::string path = dir.file("small.qm2");
    test::writeBytes(path, {'o', 'l', 'd'});
    SkeletalMotion motion;
    motion.tracks.push_back(test::track("bone"));
    EXPECT_EQ(writeUnderSizeLimit([&](std::string* r) { return writeSkeletalMotion(path, motion, r); }), 1);
    EXPECT_TRUE(readMotionToPlay(path));
}

TEST(SafeWrite, QxtoolConvertReportsTheFailureAndKeepsTheDestination) {
    QX_REQUIRE_TESTDATA("md2/faerie.md2");
    test::TempDir dir;
    const std::string destination = dir.file("faerie.qv1");
    test::writeBytes(destination, {'o', 'l', 'd'});
    // bash counts ulimit -f in 1024-byte blocks: 64 KiB is far below the converted model.
    const auto result =
        test::runCommand("bash -c 'ulimit -f 64; exec " + test::qxtoolPath() + " convert " +
                         (test::testDataDir() / "md2/faerie.md2").string() + " -o " + destination + "'");
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_NE(result.err.find("qxtool: " + destination + ": "), std::string::npos) << result.err;
    EXPECT_EQ(test::readBytes(destination), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(SafeWrite, WritersRefuseAFolderInTheWayOrMissing) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "taken");
    test::writeBytes(dir.file("taken/inside"), {1, 2, 3});
    VertexModel model;
    const std::vector<std::function<bool(const std::string&, std::string*)>> writers = {
        [](const std::string& p, std::string* r) { return writeSkeletalMotion(p, largeMotion(), r); },
        [](const std::string& p, std::string* r) { return writeSkeletalMesh(p, SkeletalMesh{}, r); },
        [&](const std::string& p, std::string* r) { return writeVertexModel(p, model, r); },
    };
    for (std::size_t w = 0; w < writers.size(); ++w) {
        SCOPED_TRACE(w);
        std::string reason;
        EXPECT_FALSE(writers[w](dir.file("taken"), &reason));
        EXPECT_NE(reason.find("directory"), std::string::npos) << reason;
        reason.clear();
        EXPECT_FALSE(writers[w](dir.file("missing/out"), &reason));
        EXPECT_FALSE(reason.empty());
    }
    EXPECT_EQ(test::readBytes(dir.file("taken/inside")), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    EXPECT_EQ(entriesIn(dir.path() / "taken"), 1u);
}

TEST(SafeWrite, WritersIntoAReadOnlyFolderKeepThePreviousFile) {
    test::TempDir dir;
    const std::vector<std::uint8_t> previous = {'o', 'l', 'd'};
    const std::string path = dir.file("walk.qm2");
    test::writeBytes(path, previous);
    makeReadOnly(dir.path(), path);
    EXPECT_EQ(writeWithoutPrivileges([&](std::string* r) { return writeSkeletalMotion(path, largeMotion(), r); }), 0);
    EXPECT_EQ(test::readBytes(path), previous);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(SafeWrite, QxtoolConvertIntoAReadOnlyFolderReportsTheFailure) {
    QX_REQUIRE_TESTDATA("md2/faerie.md2");
    if (test::runCommand(unprivileged() + "test -x " + test::qxtoolPath()).status != 0)
        GTEST_SKIP() << "qxtool cannot be run by an unprivileged user from this build folder";
    test::TempDir dir;
    const std::string destination = dir.file("faerie.qv1");
    test::writeBytes(destination, {'o', 'l', 'd'});
    makeReadOnly(dir.path(), destination);
    const auto result = test::runCommand(unprivileged() + test::qxtoolPath() + " convert " +
                                         (test::testDataDir() / "md2/faerie.md2").string() + " -o " + destination);
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_NE(result.err.find("qxtool: " + destination + ": "), std::string::npos) << result.err;
    EXPECT_EQ(test::readBytes(destination), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

}  // namespace
}  // namespace qx
