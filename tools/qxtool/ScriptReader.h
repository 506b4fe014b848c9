#pragma once
// The one reader of the scripts that `animate` and `play` take on standard input: one command a
// line, tokens separated by blanks, empty lines and lines starting with '#' ignored. The whole
// script is read and checked before anything runs, so that a malformed line anywhere prints
// nothing and the command exits with a usage error naming the line.

#include <cstddef>
#include <functional>
#include <istream>
#include <string>
#include <vector>

namespace qx::tool {

struct ScriptLine {
    std::size_t number = 0;           // from 1, counting every line of the input
    std::string text;                 // as read, for messages
    std::vector<std::string> tokens;  // never empty; the first is the command
};

// Turns one line into the command's own step (kept by the caller); false with a reason when
// the line is malformed.
using ScriptLineParser = std::function<bool(const ScriptLine& line, std::string& reason)>;

// Hands every command line of in to parse, in order. False at the first malformed one, with
// error "line N: <reason>".
bool readScript(std::istream& in, const ScriptLineParser& parse, std::string& error);

}  // namespace qx::tool
