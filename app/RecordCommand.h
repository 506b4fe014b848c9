#pragma once
// File > Record...: the active window's session from the moment it shows, drawn off-screen frame
// by frame into an MP4, a GIF or numbered PNG pictures (by the name's extension), at the size,
// rate, duration and orbit the user chooses, so that the result does not depend on the speed of
// the machine. A progress dialog counts the frames and can cancel; a cancelled or failed
// recording leaves no file.

namespace qx::app {

class CommandHost;

class RecordCommand {
public:
    explicit RecordCommand(CommandHost& host) : host_(host) {}
    void run();

private:
    CommandHost& host_;
};

}  // namespace qx::app
