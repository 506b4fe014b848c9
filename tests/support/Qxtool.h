#pragma once
// Runs the real qxtool binary as a user runs it, for the end-to-end tests of tests/tools (their
// program alone is told where the binary is, so that no other test waits for it to build).

#include <string>

#include "tests/support/TempDir.h"

namespace qx::test {

inline std::string qxtoolPath() { return QX_QXTOOL_PATH; }

// Text in single quotes for the shell (the tests' paths hold no single quote).
inline std::string quoted(const std::string& text) { return "'" + text + "'"; }

// "qxtool <arguments>" through the shell, with input on its standard input.
inline CommandResult runQxtool(const std::string& arguments, const std::string& input = "") {
    return runCommand(quoted(qxtoolPath()) + " " + arguments, input);
}

}  // namespace qx::test
