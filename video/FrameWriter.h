#pragma once
// Where a recording's frames go, one at a time, in order: an MP4 video (H.264), a GIF with one
// palette made for the whole clip, or numbered PNG pictures. The output is made by name:
// openFrameWriter chooses the writer by the name's extension.
//
// Nothing half-made is ever left: a writer works into temporary files beside its destination
// and puts them in place only in finish(). A writer dropped before finish() (a cancelled or
// failed recording) removes everything it wrote, and an existing file of the same name stays as
// it was.

#include <cstdint>
#include <memory>
#include <string>

namespace qx {

struct VideoFormat {
    int width = 0;  // pixels of every frame given to write
    int height = 0;
    double fps = 30.0;        // frames a second, above 0
    std::int64_t frames = 0;  // how many frames will come (the GIF palette's memory is checked against it)
};

class FrameWriter {
public:
    virtual ~FrameWriter() = default;
    // One frame: width x height x 4 bytes R, G, B, A, top row first (alpha is not kept).
    virtual bool write(const std::uint8_t* rgba, std::string* reason) = 0;
    // Completes the output and puts it in place. False, with a reason, leaving nothing.
    virtual bool finish(std::string* reason) = 0;
};

enum class RecordingKind { Mp4, Gif, PngSequence };

// The kind of output a name asks for: .mp4, .gif, or a name ending in .png with one %d-style
// field (%d, or %0Nd with N up to 9) for the frame number; "%%" stands for a '%'. False, with a
// reason, for any other name.
bool recordingKindOf(const std::string& path, RecordingKind& kind, std::string* reason);

// The name of frame number of a PNG pattern that recordingKindOf accepted.
std::string framePath(const std::string& pattern, std::int64_t number);

// A writer for the output named by path (kind by recordingKindOf), or none with a reason: a
// name of no kind, a folder that does not exist, a size the format cannot take, no H.264
// encoder, or a GIF too large to hold in memory while its palette is made.
std::unique_ptr<FrameWriter> openFrameWriter(const std::string& path, const VideoFormat& format, std::string* reason);

}  // namespace qx
