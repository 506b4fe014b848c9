#pragma once
// Save Session Script: what the active window has played, written as a shell script that runs
// qxtool (animate for a skeletal mesh, play for a vertex model) on the same files, replays the
// session to the time the window shows and prints that pose. This is how a user reports "this
// pose is wrong". The window shows the replayed pose from then on, the one the script prints.

namespace qx::app {

class CommandHost;

class SessionScriptCommand {
public:
    explicit SessionScriptCommand(CommandHost& host) : host_(host) {}
    void run();

private:
    CommandHost& host_;
};

}  // namespace qx::app
