#pragma once
// Records a model playing, frame after frame, off-screen, into a frame writer (video/): the
// engine behind `qxtool record` and the viewer's Record command. Frame k shows the pose at
// start + k / fps replayed from time 0 (never stepped on from the frame before), so it is
// exactly the picture a snapshot at that time gives, whatever the rate; an orbit turns the
// camera by orbit * k / frames degrees more at frame k, so that a whole turn loops seamlessly.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scene/OffscreenScene.h"
#include "scene/PlaySession.h"
#include "video/FrameWriter.h"

namespace qx {

struct RecordingRequest {
    SnapshotRequest scene;  // the model, motions, size and look; its turn is the first frame's
    // A window's session to replay instead of starting every motion as a cycle at 0: its events
    // name the motions of scene.motions by their place, as the window's model orders them.
    bool replaySession = false;
    std::vector<SessionEvent> events;
    double start = 0.0;  // session seconds of the first frame
    double fps = 30.0;
    double orbit = 0.0;  // degrees the camera turns about the model over the recording
};

// The session time and the camera of frame k of count.
double frameTime(const RecordingRequest& request, std::int64_t k);
CameraTurn frameTurn(const RecordingRequest& request, std::int64_t k, std::int64_t count);

// Called after each frame written with the number written so far and the total; false cancels.
using RecordingProgress = std::function<bool(std::int64_t written, std::int64_t total)>;

class Recorder {
public:
    enum class Result { Done, Cancelled, Failed };

    // Reads the files and sets up drawing; false with the problem as a snapshot gives it.
    bool open(const RecordingRequest& request, SnapshotProblem& problem);

    // What the recording shows by default, in seconds: one cycle of the longest motion playing
    // at the start (its duration over its time factor), or a vertex model's frame range at its
    // rate; 0 when nothing moves.
    double naturalDuration() const;

    // Draws and writes count frames, then finishes the writer. On cancel or failure the writer
    // is left unfinished, so that dropping it leaves nothing behind.
    Result record(std::int64_t count, FrameWriter& writer, const RecordingProgress& progress, std::string* reason);

private:
    RecordingRequest request_;
    OffscreenScene scene_;
};

}  // namespace qx
