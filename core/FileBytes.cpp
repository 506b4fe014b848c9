#include "core/FileBytes.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace qx {

bool readFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::string* reason) {
    out.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        setReason(reason, std::string("cannot open: ") + std::strerror(errno));
        return false;
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0) {
        setReason(reason, std::string("cannot read: ") + std::strerror(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        setReason(reason, "is a directory");
        return false;
    }
    if (S_ISREG(info.st_mode)) out.reserve(static_cast<std::size_t>(info.st_size));
    // Read in blocks until the end rather than trusting the size: pipes and growing files too.
    std::uint8_t block[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, file.get());
        out.insert(out.end(), block, block + got);
        if (got < sizeof block) break;
    }
    if (std::ferror(file.get())) {
        setReason(reason, std::string("cannot read: ") + std::strerror(errno));
        out.clear();
        return false;
    }
    return true;
}

}  // namespace qx
