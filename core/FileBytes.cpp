#include "core/FileBytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace qx {

namespace {

// Below this a plain heap block is cheaper than a mapping of its own.
constexpr std::size_t MappedFrom = std::size_t{1} << 20;
constexpr std::size_t LargePage = std::size_t{2} << 20;
// A pipe or a device has no size to check against and may never end (/dev/zero): it is read up
// to this much, far beyond any model of ours, and refused past it.
constexpr std::size_t StreamCap = std::size_t{256} << 20;

struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// Large pages for the whole ones the bytes fill; the last, partly filled stretch keeps small
// pages, so that memory use does not grow by a large page's worth.
std::uint8_t* mapAnonymous(std::size_t length, std::size_t filled) {
    void* p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
    if (filled >= LargePage) ::madvise(p, filled / LargePage * LargePage, MADV_HUGEPAGE);  // advice only
#endif
    return static_cast<std::uint8_t*>(p);
}

}  // namespace

void FileBytesRelease::operator()(std::uint8_t* p) const {
    if (mapped != 0)
        ::munmap(p, mapped);
    else
        std::free(p);
}

bool FileBytes::reserve(std::size_t capacity) {
    if (capacity < MappedFrom) {
        bytes_ = {static_cast<std::uint8_t*>(std::malloc(capacity == 0 ? 1 : capacity)), FileBytesRelease{}};
    } else {
        const std::size_t length = (capacity + LargePage - 1) / LargePage * LargePage;
        bytes_ = {mapAnonymous(length, capacity), FileBytesRelease{length}};
        capacity = length;
    }
    capacity_ = bytes_ ? capacity : 0;
    return bytes_ != nullptr;
}

bool FileBytes::grow() {
    FileBytes bigger;
    if (capacity_ > SIZE_MAX / 2 || !bigger.reserve(capacity_ * 2)) return false;
    if (size_ != 0) std::memcpy(bigger.bytes_.get(), bytes_.get(), size_);
    bigger.size_ = size_;
    *this = std::move(bigger);
    return true;
}

void FileBytes::releaseBefore(std::size_t offset) {
    if (bytes_.get_deleter().mapped == 0 || offset > size_) return;
    const std::size_t end = offset / LargePage * LargePage;
    if (end <= released_) return;
    ::madvise(bytes_.get() + released_, end - released_, MADV_DONTNEED);
    released_ = end;
}

bool readFileBytes(const std::string& path, FileBytes& out, std::string* reason) {
    out = FileBytes{};
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) {
        setReason(reason, std::string("cannot open: ") + std::strerror(errno));
        return false;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        setReason(reason, std::string("cannot read: ") + std::strerror(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        setReason(reason, "is a directory");
        return false;
    }
    // One byte more than the size, so that a file read whole is known to be whole. Files that
    // grow meanwhile are read on until their end, pipes and devices up to the cap.
    const bool regular = S_ISREG(info.st_mode);
    const std::size_t expected = regular && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
    if (!out.reserve(expected < (std::size_t{64} << 10) ? (std::size_t{64} << 10) : expected + 1)) {
        setReason(reason, "not enough memory to read it");
        return false;
    }
    for (;;) {
        if (out.size_ == out.capacity_ && !out.grow()) {
            out = FileBytes{};
            setReason(reason, "not enough memory to read it");
            return false;
        }
        const ssize_t got = ::read(file.fd, out.bytes_.get() + out.size_, out.capacity_ - out.size_);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            out = FileBytes{};
            setReason(reason, std::string("cannot read: ") + std::strerror(errno));
            return false;
        }
        out.size_ += static_cast<std::size_t>(got);
        if (!regular && out.size_ > StreamCap) {
            out = FileBytes{};
            setReason(reason, "more than " + std::to_string(StreamCap >> 20) + " MiB from a pipe or device");
            return false;
        }
    }
    return true;
}

}  // namespace qx
