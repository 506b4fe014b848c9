#pragma once
// qxtool is a table of subcommands. Each one declares its options on its CLI11 subcommand and
// returns the function that runs it once the command line is parsed; that function returns the
// exit status (0 done, 1 an input rejected or an output not written).

#include <functional>

#include <CLI/CLI.hpp>

namespace qx::tool {

using CommandRun = std::function<int()>;

struct Command {
    const char* name;
    const char* summary;
    CommandRun (*define)(CLI::App& sub);
    // Its positionals may be negative numbers ("-.5"), which the parser would otherwise take
    // for short options; the command then has no options after its positionals.
    bool negativePositionals = false;
};

CommandRun defineInfo(CLI::App& sub);
CommandRun defineDump(CLI::App& sub);
CommandRun defineSample(CLI::App& sub);
CommandRun defineConvert(CLI::App& sub);
CommandRun definePlay(CLI::App& sub);
CommandRun defineImage(CLI::App& sub);
CommandRun defineAnimate(CLI::App& sub);
CommandRun defineRender(CLI::App& sub);
CommandRun defineExport(CLI::App& sub);
CommandRun defineThumbnail(CLI::App& sub);
CommandRun defineRecord(CLI::App& sub);

}  // namespace qx::tool
