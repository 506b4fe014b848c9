#include "tools/qxtool/Report.h"

#include <cstdio>
#include <iostream>

namespace qx::tool {

int fail(const std::string& file, const std::string& reason) {
    std::cerr << "qxtool: " << file << ": " << reason << '\n';
    return ExitRejected;
}

int usageError(const std::string& message) {
    std::cerr << "qxtool: " << message << '\n';
    return ExitUsage;
}

void printJson(const nlohmann::ordered_json& document) {
    const std::string text = document.dump();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace qx::tool
