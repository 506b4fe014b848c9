#pragma once
// A fresh folder under the system's temporary directory, removed with everything in it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qx::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readBytes(const std::string& path);

// Runs a shell command line, returning its exit status; output goes to the given files.
struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};
CommandResult runCommand(const std::string& commandLine, const std::string& input = "");

}  // namespace qx::test
