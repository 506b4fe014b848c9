#pragma once
// Frames into numbered PNG pictures, named by a pattern with a %d-style field and numbered from
// 0. Each picture goes to a temporary file as it comes; finish() renames them all into place, so
// a recording that stops early leaves no picture of its own and changes none already there.

#include <vector>

#include "core/PendingFile.h"
#include "video/FrameWriter.h"

namespace qx {

class PngSequenceWriter : public FrameWriter {
public:
    bool open(const std::string& pattern, const VideoFormat& format, std::string* reason);
    bool write(const std::uint8_t* rgba, std::string* reason) override;
    bool finish(std::string* reason) override;

private:
    std::string pattern_;
    VideoFormat format_;
    std::vector<PendingFile> frames_;
    std::vector<std::uint8_t> png_;
};

}  // namespace qx
