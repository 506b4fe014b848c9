#pragma once
// The choices of File > Record... beside the file: the frames' size, their rate, how long to
// record and how far the camera turns about the model meanwhile; and the progress dialog that
// shows the frames written and can cancel.

#include <cstdint>
#include <functional>

class QWidget;

namespace qx::app {

struct RecordingChoice {
    int width = 640;
    int height = 480;
    double fps = 30.0;
    double duration = 1.0;  // seconds
    double orbit = 0.0;     // degrees
};

// Asks with a modal dialog, the choice's values offered first; false when cancelled.
bool askForRecordingChoice(QWidget* parent, RecordingChoice& choice);

// A progress dialog over parent for total frames; the function it returns shows how many are
// written and returns false once the user has cancelled. The dialog goes with the function.
std::function<bool(std::int64_t written, std::int64_t total)> recordingProgressDialog(QWidget* parent);

}  // namespace qx::app
