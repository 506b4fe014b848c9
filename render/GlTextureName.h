#pragma once
// The owner of one OpenGL texture name: it deletes the name when it goes, and hands it over
// when moved, so that whatever holds one moves with the defaulted moves and never copies.
// It reads as the name itself (0 for none), the number GL calls take.

#include <cstdint>

namespace qx {

class GlTextureName {
public:
    GlTextureName() = default;
    GlTextureName(GlTextureName&& other) noexcept;
    GlTextureName& operator=(GlTextureName&& other) noexcept;
    GlTextureName(const GlTextureName&) = delete;
    GlTextureName& operator=(const GlTextureName&) = delete;
    // Deletes the name in the context current then: the owner must go while it is current.
    ~GlTextureName();

    operator std::uint32_t() const { return name_; }

    // Deletes the name held, then makes a new one in the current context.
    void create();
    // Deletes the name held, if any.
    void reset();

private:
    std::uint32_t name_ = 0;
};

}  // namespace qx
