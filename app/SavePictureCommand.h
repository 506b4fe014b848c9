#pragma once
// Save Picture: the active view as a PNG picture at its size, as the screen shows it (taken
// before the dialog covers it), written where the user chooses. Nothing without a view; a file
// that cannot be written is named in a message.

namespace qx::app {

class CommandHost;

class SavePictureCommand {
public:
    explicit SavePictureCommand(CommandHost& host) : host_(host) {}
    void run();

private:
    CommandHost& host_;
};

}  // namespace qx::app
