#pragma once
// One file of each kind the programs open, four ways: valid, damaged (cut in half), under a
// name no table row knows (".txt"), and under its own extension holding another kind's bytes.
// Every entry point must give each of them the same answer.

#include <string>
#include <vector>

namespace qx::test {

struct OpeningCase {
    std::string path;
    bool motion = false;  // a motion by what it holds (.qm2, .kfm bytes), else a model
    bool valid = false;   // only the valid files open
};

// Writes the files into folder.
std::vector<OpeningCase> writeOpeningCases(const std::string& folder);

}  // namespace qx::test
