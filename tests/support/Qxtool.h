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
//
// The commands that draw load Mesa's GL driver with dlopen. On this glibc, LeakSanitizer's exit
// check reads that library's thread-local storage from a descriptor it misreads, and its tracer
// then crashes or not depending on the process's layout (the length of the arguments decides).
// So in a sanitizer build those commands run without the exit leak check; the code they share
// with the other commands (the readers, the export) keeps it there.
inline CommandResult runQxtool(const std::string& arguments, const std::string& input = "") {
    const bool draws = arguments.rfind("render ", 0) == 0 || arguments.rfind("thumbnail ", 0) == 0;
    const std::string environment = draws ? "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" " : "";
    return runCommand(environment + quoted(qxtoolPath()) + " " + arguments, input);
}

}  // namespace qx::test
