#pragma once
// Frames into an MP4 file: H.264 in yuv420p, the index at the front (so that a browser starts
// playing before the whole file has come), BT.709 colours. Each side is cut to an even number of
// pixels, as yuv420p needs (the last column or row is dropped).

#include <memory>
#include <string>

#include "video/EncodedFile.h"
#include "video/FrameWriter.h"

namespace qx {

class Mp4Writer : public FrameWriter {
public:
    bool open(const std::string& path, const VideoFormat& format, std::string* reason);
    bool write(const std::uint8_t* rgba, std::string* reason) override;
    bool finish(std::string* reason) override;

private:
    VideoFormat format_;
    EncodedFile file_;
    ffmpeg::Scaler scaler_;
    ffmpeg::Frame frame_;
    std::int64_t next_ = 0;
};

}  // namespace qx
