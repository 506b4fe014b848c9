#pragma once
// How qxtool speaks at its edge: failures as one line "qxtool: <file>: <reason>" on standard
// error, JSON documents on standard output.

#include <string>

#include <nlohmann/json.hpp>

namespace qx::tool {

inline constexpr int ExitOk = 0;
inline constexpr int ExitRejected = 1;
inline constexpr int ExitUsage = 2;

// Prints the failure line and returns ExitRejected.
int fail(const std::string& file, const std::string& reason);
// Prints a usage error line and returns ExitUsage.
int usageError(const std::string& message);

// Writes one JSON document and a newline to standard output.
void printJson(const nlohmann::ordered_json& document);

}  // namespace qx::tool
