#pragma once
// Whole-file input: readers take the file into memory once and parse it with a ByteReader.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace qx {

// Frees what a FileBytes holds: an anonymous mapping of the given length, or a heap block.
struct FileBytesRelease {
    std::size_t mapped = 0;  // 0 for the heap
    void operator()(std::uint8_t* p) const;
};

// A file's bytes, read into memory the reader owns: a file another program truncates or
// rewrites meanwhile can change what is read, never crash the reader. Big files land in memory
// the kernel may back with large pages, so that taking in tens of megabytes costs tens of page
// faults rather than thousands.
class FileBytes {
public:
    const std::uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Gives back to the system the memory of whole large pages before offset, where the bytes
    // live in a mapping of their own; they read as zeros afterwards. Cheap to call often.
    void releaseBefore(std::size_t offset);

private:
    friend bool readFileBytes(const std::string& path, FileBytes& out, std::string* reason);

    // Room for at least capacity bytes; the old contents are not kept.
    bool reserve(std::size_t capacity);
    bool grow();  // doubles the room, keeping the first size_ bytes

    std::unique_ptr<std::uint8_t[], FileBytesRelease> bytes_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
    std::size_t released_ = 0;  // bytes from the start already given back
};

// Reads the regular file at path. On failure returns false and, when reason is given, a short
// description ("cannot open: No such file or directory", "is a directory").
bool readFileBytes(const std::string& path, FileBytes& out, std::string* reason);

inline void setReason(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
}

}  // namespace qx
