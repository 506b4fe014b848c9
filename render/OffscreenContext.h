#pragma once
// An OpenGL context with no window and no display server: EGL on Mesa's surfaceless platform,
// drawing into a framebuffer object of a fixed size with a colour and a depth buffer. The
// context is a compatibility one (no profile is requested), so immediate mode, fixed-function
// lighting and GLU work in it as in the viewer. Tests, the off-screen renderer and
// `qxtool render` draw through it.
//
// One thread, as everywhere in the program. Several contexts may exist at once; makeCurrent
// chooses which one GL calls go to.

#include <cstdint>
#include <string>
#include <vector>

namespace qx {

class OffscreenContext {
public:
    OffscreenContext() = default;
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // Makes the context and its width x height framebuffer, and leaves it current with the
    // framebuffer bound and the viewport covering it. False, with a reason, when EGL or the
    // framebuffer cannot be made; the object then holds nothing.
    bool create(int width, int height, std::string* reason = nullptr);
    // Makes this context current again (after another one was). False when there is none.
    bool makeCurrent();
    // The framebuffer's pixels as R, G, B, A bytes, top row first (as a person sees the
    // picture), width x height x 4 bytes. Makes the context current first.
    bool readPixels(std::vector<std::uint8_t>& rgba);
    // One byte a pixel, top row first: 1 where something was drawn (its depth is nearer than
    // the cleared far plane), 0 elsewhere.
    bool readCoverage(std::vector<std::uint8_t>& covered);
    // Releases the framebuffer and the context; the object can be created again afterwards.
    void destroy();

    bool valid() const { return context_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void* display_ = nullptr;  // EGLDisplay
    void* context_ = nullptr;  // EGLContext
    std::uint32_t framebuffer_ = 0;
    std::uint32_t colourBuffer_ = 0;
    std::uint32_t depthBuffer_ = 0;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace qx
