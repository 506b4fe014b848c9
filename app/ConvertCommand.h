#pragma once
// Convert: turns an A:M ".ply" or ".kfm" export or an MD2 model into the program's own format
// (".qm1", ".qm2", ".qv1"), written where the user chooses (a name beside the source offered).
// The clock rests while the dialogs are open. A file that cannot be converted or written is
// named in a message, and an existing file is left as it was.

namespace qx::app {

class CommandHost;

class ConvertCommand {
public:
    explicit ConvertCommand(CommandHost& host) : host_(host) {}
    void run();

private:
    CommandHost& host_;
};

}  // namespace qx::app
