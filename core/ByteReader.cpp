#include "core/ByteReader.h"

#include "core/FileBytes.h"

namespace qx {

ByteReader::ByteReader(FileBytes& file) : data_(file.data()), size_(file.size()), file_(&file) {}

void ByteReader::releaseRead() {
    if (file_ == nullptr) return;
    file_->releaseBefore(pos_);
    released_ = pos_;
}

bool ByteReader::vector3(Vector3& out) {
    if (remaining() < 12) return false;
    f32(out.x);
    f32(out.y);
    f32(out.z);
    return true;
}

bool ByteReader::bytes(void* out, std::size_t count) {
    if (remaining() < count) return false;
    if (count > 0) std::memcpy(out, data_ + pos_, count);
    pos_ += count;
    return true;
}

bool ByteReader::skip(std::size_t count) {
    if (remaining() < count) return false;
    pos_ += count;
    return true;
}

bool ByteReader::seek(std::size_t offset) {
    if (offset > size_ || offset < released_) return false;
    pos_ = offset;
    return true;
}

bool ByteReader::cString(std::string& out) {
    const auto* begin = data_ + pos_;
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(begin, 0, remaining()));
    if (end == nullptr) return false;
    out.assign(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin));
    pos_ += out.size() + 1;
    return true;
}

}  // namespace qx
