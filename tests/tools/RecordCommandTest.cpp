#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "render/ImageDecoders.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "video/VideoReader.h"

namespace qx {
namespace {

using test::quoted;

std::string sample(const std::string& name) { return quoted((test::sourceDir() / "samples" / name).string()); }

std::string number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::vector<std::uint8_t> pixels(const std::string& path) {
    const std::vector<std::uint8_t> bytes = test::readBytes(path);
    Texture texture;
    EXPECT_TRUE(decodePng(bytes.data(), bytes.size(), texture, nullptr, false)) << path;
    return displayRgba(texture);
}

double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double sum = 0.0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (i % 4 == 3) continue;
        const double d = static_cast<double>(a[i]) - b[i];
        sum += d * d;
        ++count;
    }
    return sum == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 * static_cast<double>(count) / sum);
}

// A recording, and the render each of its frames must equal: frame k at start + k/fps, its yaw
// orbit * k / frames.
struct Clip {
    const char* name;
    std::string model;       // model and its own options, as record and render both take them
    std::string recordOnly;  // --fps, --duration, --orbit
    double start, fps, orbit;
    int frames;
};

TEST(QxtoolRecord, PngFramesEqualSeparateRendersAndVideosDecodeToThem) {
    const Clip clips[] = {
        {"walk", sample("figure.qm1") + " --motion " + sample("figure-walk.qm2") + " --size 96x72",
         "--fps 10 --duration 0.5 --start 0.25", 0.25, 10, 0, 5},
        {"flag", sample("flag.qv1") + " --frames 2:6 --size 160x120", "--fps 12 --duration 0.25", 0, 12, 0, 3},
        {"orbit", sample("figure.qm1") + " --size 96x128 --pitch 20 --distance 1.5",
         "--fps 20 --duration 0.2 --orbit 360", 0, 20, 360, 4},
    };
    for (const Clip& clip : clips) {
        SCOPED_TRACE(clip.name);
        test::TempDir dir;
        const std::string record = "record " + clip.model + " " + clip.recordOnly + " --out ";
        ASSERT_EQ(test::runQxtool(record + quoted(dir.file("f-%02d.png"))).status, 0);
        ASSERT_TRUE(std::filesystem::exists(dir.file(std::string("f-0") + std::to_string(clip.frames - 1) + ".png")));
        ASSERT_FALSE(std::filesystem::exists(dir.file(std::string("f-0") + std::to_string(clip.frames) + ".png")));
        std::vector<std::vector<std::uint8_t>> frames;
        for (int k = 0; k < clip.frames; ++k) {
            const std::string one = dir.file("one.png");
            const std::string turn = clip.orbit != 0.0 ? " --yaw " + number(clip.orbit * k / clip.frames) : "";
            ASSERT_EQ(test::runQxtool("render " + clip.model + turn + " --time " + number(clip.start + k / clip.fps) +
                                      " --out " + quoted(one))
                          .status,
                      0);
            frames.push_back(pixels(dir.file("f-0" + std::to_string(k) + ".png")));
            EXPECT_EQ(frames.back(), pixels(one)) << "frame " << k;
        }
        for (const char* kind : {"mp4", "gif"}) {
            const std::string out = dir.file(std::string("clip.") + kind);
            ASSERT_EQ(test::runQxtool(record + quoted(out)).status, 0);
            DecodedVideo video;
            std::string reason;
            ASSERT_TRUE(readVideo(out, video, &reason)) << reason;
            ASSERT_EQ(video.frames.size(), frames.size()) << kind;
            const std::vector<std::uint8_t> first = pixels(dir.file("f-00.png"));
            EXPECT_EQ(static_cast<std::size_t>(video.width) * video.height * 4, first.size()) << kind;
            for (int k = 0; k < clip.frames; ++k) {
                // A GIF counts time in hundredths of a second.
                EXPECT_NEAR(video.times[k] - video.times[0], k / clip.fps, kind[0] == 'g' ? 0.011 : 1e-6) << kind;
                if (kind[0] == 'm') { EXPECT_GT(psnr(video.frames[k], frames[k]), 35.0) << "frame " << k; }
            }
        }
    }
}

TEST(QxtoolRecord, RefusalsLeaveNothingAndKeepAnExistingFile) {
    const std::string walk = sample("figure.qm1") + " --motion " + sample("figure-walk.qm2");
    const struct {
        std::string arguments;
        const char* out;
        int status;
        bool diskFull = false;  // files may hold 8 blocks at most, as on a disk that fills
    } cases[] = {
        {walk, "clip.avi", 2},
        {walk, "missing/f-%d.png", 1},
        {walk, "f-%d-%d.png", 2},
        {walk + " --size 0x10", "clip.mp4", 2},
        {walk + " --size 8193x8", "clip.gif", 2},
        {walk + " --fps 0", "clip.mp4", 2},
        {walk + " --fps 30 --duration 4000", "f-%d.png", 2},
        {sample("figure-walk.qm2"), "clip.mp4", 1},
        {sample("flag.qv1") + " --frames 3:99", "clip.gif", 2},
        {sample("flag.qv1") + " --skeleton", "clip.gif", 2},
        {walk, "clip.mp4", 1, true},
        {walk, "clip.gif", 1, true},
        {walk, "f-%d.png", 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments + " --out " + c.out);
        test::TempDir dir;
        test::writeBytes(dir.file("clip.mp4"), {1, 2, 3});
        const std::string record = "record " + c.arguments + " --out " + quoted(dir.file(c.out));
        const test::CommandResult result =
            c.diskFull ? test::runCommand("ulimit -f 8; trap '' XFSZ; " + quoted(test::qxtoolPath()) + " " + record)
                       : test::runQxtool(record);
        if (c.diskFull) { EXPECT_NE(result.err.find("cannot write"), std::string::npos) << result.err; }
        EXPECT_EQ(result.status, c.status);
        EXPECT_NE(result.err.find("qxtool"), std::string::npos) << result.err;
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{"clip.mp4"});
        EXPECT_EQ(test::readBytes(dir.file("clip.mp4")), (std::vector<std::uint8_t>{1, 2, 3}));
    }
}

}  // namespace
}  // namespace qx
