#pragma once
// A file being written that takes the place of its destination only when complete: the bytes go
// to a temporary file beside the destination (a link followed to the file it names), which
// commit() renames over it once everything was written and flushed. Until then, and whenever
// the object goes away uncommitted, the destination is as it was and the temporary file is
// removed. ByteSink's writes, the PNG pictures and the recorded videos all go through it.

#include <cstdint>
#include <span>
#include <string>

namespace qx {

class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile() { discard(); }
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Makes the temporary file for destination, open for writing. False, with a reason, when
    // the destination is a folder or its folder cannot take a new file.
    bool create(const std::string& destination, std::string* reason);
    // Where the bytes go until commit (for writers that open the file by name themselves).
    const std::string& temporaryPath() const { return temp_; }

    bool write(std::span<const std::uint8_t> bytes, std::string* reason);
    // Flushes the bytes to the disk and closes the temporary file; it stays pending.
    bool close(std::string* reason);
    // Closes if still open and renames the temporary file over the destination.
    bool commit(std::string* reason);
    // Removes the temporary file; the destination stays as it was.
    void discard();

private:
    std::string destination_;
    std::string temp_;
    int fd_ = -1;
};

}  // namespace qx
