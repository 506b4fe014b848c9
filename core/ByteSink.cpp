#include "core/ByteSink.h"

#include "core/PendingFile.h"

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

bool writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string* reason) {
    PendingFile file;
    return file.create(path, reason) && file.write(bytes, reason) && file.commit(reason);
}

}  // namespace qx
