// qxtool: the command-line twin of the viewer: inspection, conversion, scripted playback and
// off-screen snapshots, built from the same libraries.

#include <cctype>
#include <csignal>
#include <cstring>
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "core/HeapPages.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/Report.h"

namespace {

using namespace qx::tool;

const Command Commands[] = {
    {"info", "Summarise model, motion and image files", &defineInfo},
    {"dump", "Print a whole model or motion file as JSON", &defineDump},
    {"sample", "Evaluate a motion's tracks at the given times", &defineSample, true},
    {"convert", "Convert .ply, .kfm and .md2 files to the program's own formats", &defineConvert},
    {"play", "Play a vertex model driven by commands on standard input", &definePlay},
    {"image", "Decode an image as the viewer does and fingerprint its pixels", &defineImage},
    {"animate", "Play motions on a skeletal mesh from a script on standard input", &defineAnimate},
    {"render", "Draw one frame of a model off-screen into a PNG file", &defineRender},
    {"export", "Export a model and its motions to glTF 2.0 (.glb or .gltf)", &defineExport},
    {"thumbnail", "Draw a square picture of a model for file managers", &defineThumbnail},
    {"record", "Record a model playing off-screen to an MP4, a GIF or numbered PNG pictures", &defineRecord},
};

bool looksLikeNegativeNumber(const char* arg) {
    return arg[0] == '-' && (std::isdigit(static_cast<unsigned char>(arg[1])) || arg[1] == '.');
}

// Values such as -0.5 are not options: for a command whose positionals may be negative, a "--"
// after the subcommand name keeps the parser from reading them as short flags.
std::vector<std::string> protectNegativeNumbers(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    if (argc < 3) return args;
    bool negativePositionals = false;
    for (const Command& command : Commands)
        if (std::strcmp(argv[1], command.name) == 0) negativePositionals = command.negativePositionals;
    bool hasNegative = false;
    for (int i = 2; i < argc; ++i) hasNegative = hasNegative || looksLikeNegativeNumber(argv[i]);
    bool hasDashDash = false;
    for (int i = 2; i < argc; ++i) hasDashDash = hasDashDash || std::strcmp(argv[i], "--") == 0;
    if (negativePositionals && hasNegative && !hasDashDash) args.insert(args.begin() + 2, "--");
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    // Past a file size limit a write should fail and be reported like any other write error,
    // not kill the process mid-conversion.
    std::signal(SIGXFSZ, SIG_IGN);
    qx::backHeapWithLargePages();
    CLI::App app{"qxtool: inspect, convert, play and render qxmodelview files", "qxtool"};
    app.require_subcommand(1, 1);
    std::map<CLI::App*, CommandRun> runs;
    for (const Command& command : Commands) {
        CLI::App* sub = app.add_subcommand(command.name, command.summary);
        runs[sub] = command.define(*sub);
    }

    std::vector<std::string> args = protectNegativeNumbers(argc, argv);
    std::vector<const char*> pointers;
    for (const auto& a : args) pointers.push_back(a.c_str());
    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::CallForHelp& e) { return app.exit(e); } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return ExitUsage;
    }
    try {
        for (auto& [sub, run] : runs)
            if (sub->parsed()) return run();
    } catch (const std::exception& e) {
        // Out of memory or a library fault: still one clear line, never an abort.
        std::cerr << "qxtool: " << e.what() << '\n';
        return ExitRejected;
    }
    return ExitUsage;
}
