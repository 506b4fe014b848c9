#pragma once
// Whole-file input: readers take the file into memory once and parse it with a ByteReader.

#include <cstdint>
#include <string>
#include <vector>

namespace qx {

// Reads the regular file at path. On failure returns false and, when reason is given, a short
// description ("cannot open: No such file or directory", "is a directory").
bool readFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::string* reason);

inline void setReason(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
}

}  // namespace qx
