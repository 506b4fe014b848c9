#include "core/PendingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/FileBytes.h"

namespace qx {

namespace {

bool failWith(std::string* reason, int error) {
    setReason(reason, std::string("cannot write: ") + std::strerror(error));
    return false;
}

}  // namespace

PendingFile::PendingFile(PendingFile&& other) noexcept
    : destination_(std::move(other.destination_)), temp_(std::move(other.temp_)), fd_(std::exchange(other.fd_, -1)) {
    other.temp_.clear();
}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        discard();
        destination_ = std::move(other.destination_);
        temp_ = std::exchange(other.temp_, {});
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool PendingFile::create(const std::string& destination, std::string* reason) {
    discard();
    // A link to the file is kept and the file it names replaced: renaming over the link itself
    // would turn it into a plain file and leave the real one stale.
    destination_ = destination;
    if (char* resolved = ::realpath(destination.c_str(), nullptr)) {
        destination_ = resolved;
        std::free(resolved);
    }
    struct stat info {};
    const bool exists = ::stat(destination_.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        setReason(reason, "cannot write: is a directory");
        return false;
    }
    std::string temp = destination_ + ".partXXXXXX";
    fd_ = ::mkstemp(temp.data());
    if (fd_ < 0) return failWith(reason, errno);
    temp_ = std::move(temp);
    // mkstemp makes the file private; a replaced file keeps its mode, a new one gets the mode
    // an ordinary new file would get.
    if (exists) {
        ::fchmod(fd_, info.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
    return true;
}

bool PendingFile::write(std::span<const std::uint8_t> bytes, std::string* reason) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return failWith(reason, errno);
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool PendingFile::close(std::string* reason) {
    if (fd_ < 0) return !temp_.empty() || failWith(reason, EBADF);
    int error = ::fsync(fd_) == 0 ? 0 : errno;
    if (::close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    return error == 0 || failWith(reason, error);
}

bool PendingFile::commit(std::string* reason) {
    if (temp_.empty()) return failWith(reason, EBADF);
    if (fd_ >= 0 && !close(reason)) return false;
    if (::rename(temp_.c_str(), destination_.c_str()) != 0) return failWith(reason, errno);
    temp_.clear();
    return true;
}

void PendingFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

}  // namespace qx
