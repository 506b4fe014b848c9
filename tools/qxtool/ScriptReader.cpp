#include "tools/qxtool/ScriptReader.h"

#include <sstream>

namespace qx::tool {

bool readScript(std::istream& in, const ScriptLineParser& parse, std::string& error) {
    ScriptLine line;
    for (line.number = 1; std::getline(in, line.text); ++line.number) {
        line.tokens.clear();
        std::istringstream words(line.text);
        for (std::string token; words >> token;) line.tokens.push_back(token);
        if (line.tokens.empty() || line.tokens[0][0] == '#') continue;
        std::string reason;
        if (!parse(line, reason)) {
            error = "line " + std::to_string(line.number) + ": " + reason;
            return false;
        }
    }
    return true;
}

}  // namespace qx::tool
