#include "core/ByteSink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/FileBytes.h"

namespace qx {

void ByteSink::bytes(const void* data, std::size_t count) {
    if (count == 0) return;
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + count);
}

void ByteSink::cString(std::string_view text) {
    bytes(text.data(), text.size());
    bytes_.push_back(0);
}

bool ByteSink::commit(const std::string& path, std::string* reason) const {
    return writeFileAtomically(path, bytes_, reason);
}

namespace {

std::string errorText(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }

bool writeAll(int fd, std::span<const std::uint8_t> bytes, int& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool writeFileAtomically(const std::string& requestedPath, std::span<const std::uint8_t> bytes, std::string* reason) {
    // A link to the file is kept and the file it names replaced: renaming over the link itself
    // would turn it into a plain file and leave the real one stale.
    std::string path = requestedPath;
    if (char* resolved = ::realpath(requestedPath.c_str(), nullptr)) {
        path = resolved;
        std::free(resolved);
    }
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        setReason(reason, "cannot write: is a directory");
        return false;
    }
    std::string temp = path + ".partXXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        setReason(reason, errorText("cannot write", errno));
        return false;
    }
    // mkstemp makes the file private; a replaced file keeps its mode, a new one gets the mode
    // an ordinary new file would get.
    if (exists) {
        ::fchmod(fd, info.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }

    int error = 0;
    bool ok = writeAll(fd, bytes, error);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        error = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        setReason(reason, errorText("cannot write", error));
        return false;
    }
    return true;
}

}  // namespace qx
