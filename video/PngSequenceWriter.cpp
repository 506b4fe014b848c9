#include "video/PngSequenceWriter.h"

#include <sys/stat.h>

#include <filesystem>

#include "core/FileBytes.h"
#include "render/PngWriter.h"

namespace qx {

bool PngSequenceWriter::open(const std::string& pattern, const VideoFormat& format, std::string* reason) {
    pattern_ = pattern;
    format_ = format;
    std::filesystem::path folder = std::filesystem::path(framePath(pattern, 0)).parent_path();
    if (folder.empty()) folder = ".";
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        setReason(reason, "no folder " + folder.string() + " to write the frames into");
        return false;
    }
    frames_.reserve(
        static_cast<std::size_t>(std::max<std::int64_t>(0, std::min<std::int64_t>(format.frames, 1 << 20))));
    return true;
}

bool PngSequenceWriter::write(const std::uint8_t* rgba, std::string* reason) {
    // A sequence is bound by compressing its pictures, not by drawing them.
    if (!encodePng(rgba, format_.width, format_.height, png_, reason, PngPacking::Fast)) return false;
    PendingFile& frame = frames_.emplace_back();
    // Closed at once: a long sequence must not hold a descriptor a frame.
    return frame.create(framePath(pattern_, static_cast<std::int64_t>(frames_.size()) - 1), reason) &&
           frame.write(png_, reason) && frame.close(reason);
}

bool PngSequenceWriter::finish(std::string* reason) {
    for (PendingFile& frame : frames_)
        if (!frame.commit(reason)) return false;
    frames_.clear();
    return true;
}

}  // namespace qx
