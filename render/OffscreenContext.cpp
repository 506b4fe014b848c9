#include "render/OffscreenContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "core/FileBytes.h"

#if defined(__SANITIZE_ADDRESS__)
#define QX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QX_ADDRESS_SANITIZER 1
#endif
#endif

namespace qx {

namespace {

// The framebuffer-object entry points are newer than OpenGL 1.1, so they are looked up rather
// than linked.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    bool load() {
        if (genFramebuffers != nullptr) return true;
        look(genFramebuffers, "glGenFramebuffers");
        look(bindFramebuffer, "glBindFramebuffer");
        look(deleteFramebuffers, "glDeleteFramebuffers");
        look(genRenderbuffers, "glGenRenderbuffers");
        look(bindRenderbuffer, "glBindRenderbuffer");
        look(deleteRenderbuffers, "glDeleteRenderbuffers");
        look(renderbufferStorage, "glRenderbufferStorage");
        look(framebufferRenderbuffer, "glFramebufferRenderbuffer");
        look(checkFramebufferStatus, "glCheckFramebufferStatus");
        const bool all = bindFramebuffer && deleteFramebuffers && genRenderbuffers && bindRenderbuffer &&
                         deleteRenderbuffers && renderbufferStorage && framebufferRenderbuffer &&
                         checkFramebufferStatus;
        if (!all) genFramebuffers = nullptr;
        return genFramebuffers != nullptr;
    }

    template <typename F>
    static void look(F& out, const char* name) {
        out = reinterpret_cast<F>(eglGetProcAddress(name));
    }
};

FramebufferCalls gl;

// The surfaceless display is shared by every context of the process and terminated when the
// last one goes.
int liveContexts = 0;

std::string eglFailure(const char* what) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string(what) + " failed (EGL error " + code + ")";
}

bool refuse(std::string* reason, const std::string& text) {
    setReason(reason, text);
    return false;
}

}  // namespace

OffscreenContext::~OffscreenContext() { destroy(); }

bool OffscreenContext::create(int width, int height, std::string* reason) {
    destroy();
    if (width <= 0 || height <= 0) return refuse(reason, "bad framebuffer size");

    // eglGetDisplay(EGL_DEFAULT_DISPLAY) fails to initialise without a display server; the
    // surfaceless platform needs none.
    EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) return refuse(reason, eglFailure("surfaceless EGL display"));
    if (!eglInitialize(display, nullptr, nullptr)) return refuse(reason, eglFailure("eglInitialize"));
    ++liveContexts;
    display_ = display;

    if (!eglBindAPI(EGL_OPENGL_API)) {
        const std::string why = eglFailure("eglBindAPI(OpenGL)");
        destroy();
        return refuse(reason, why);
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       24,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1) config = nullptr;
    // No profile is asked for: Mesa then gives a compatibility context, where glBegin works.
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        const std::string why = eglFailure("eglCreateContext");
        destroy();
        return refuse(reason, why);
    }
    context_ = context;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        const std::string why = eglFailure("eglMakeCurrent");
        destroy();
        return refuse(reason, why);
    }
    if (!gl.load()) {
        destroy();
        return refuse(reason, "OpenGL framebuffer objects are not available");
    }

    gl.genFramebuffers(1, &framebuffer_);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl.genRenderbuffers(1, &colourBuffer_);
    gl.bindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer_);
    gl.genRenderbuffers(1, &depthBuffer_);
    gl.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        destroy();
        return refuse(reason, "cannot make a " + std::to_string(width) + "x" + std::to_string(height) + " framebuffer");
    }
    width_ = width;
    height_ = height;
    glViewport(0, 0, width, height);
    return true;
}

bool OffscreenContext::makeCurrent() {
    if (context_ == nullptr) return false;
    // The bound API is per thread; another part of the program may have bound a different one.
    if (!eglBindAPI(EGL_OPENGL_API)) return false;
    if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) return false;
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    return true;
}

bool OffscreenContext::readPixels(std::vector<std::uint8_t>& rgba) {
    if (!makeCurrent()) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    std::vector<std::uint8_t> bottomUp(rowBytes * static_cast<std::size_t>(height_));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    // GL reads the bottom row first.
    rgba.resize(bottomUp.size());
    for (int y = 0; y < height_; ++y)
        std::memcpy(rgba.data() + static_cast<std::size_t>(y) * rowBytes,
                    bottomUp.data() + static_cast<std::size_t>(height_ - 1 - y) * rowBytes, rowBytes);
    return glGetError() == GL_NO_ERROR;
}

bool OffscreenContext::readCoverage(std::vector<std::uint8_t>& covered) {
    if (!makeCurrent()) return false;
    const auto w = static_cast<std::size_t>(width_);
    std::vector<float> depth(w * static_cast<std::size_t>(height_));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    covered.resize(depth.size());
    for (int y = 0; y < height_; ++y) {
        const float* row = depth.data() + static_cast<std::size_t>(height_ - 1 - y) * w;  // bottom row first
        for (std::size_t x = 0; x < w; ++x) covered[static_cast<std::size_t>(y) * w + x] = row[x] < 1.0f ? 1 : 0;
    }
    return glGetError() == GL_NO_ERROR;
}

void OffscreenContext::destroy() {
    if (display_ == nullptr) return;
    if (context_ != nullptr) {
        // The framebuffer is deleted in its own context; whichever other context was current
        // before is current again afterwards.
        const EGLContext previous = eglGetCurrentContext();
        const EGLDisplay previousDisplay = eglGetCurrentDisplay();
        const EGLSurface previousDraw = eglGetCurrentSurface(EGL_DRAW);
        const EGLSurface previousRead = eglGetCurrentSurface(EGL_READ);
        if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
            if (framebuffer_ != 0) gl.deleteFramebuffers(1, &framebuffer_);
            if (colourBuffer_ != 0) gl.deleteRenderbuffers(1, &colourBuffer_);
            if (depthBuffer_ != 0) gl.deleteRenderbuffers(1, &depthBuffer_);
        }
        if (previous != EGL_NO_CONTEXT && previous != context_)
            eglMakeCurrent(previousDisplay, previousDraw, previousRead, previous);
        else
            eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    // Under AddressSanitizer, terminating makes the leak checker blame the unloaded Mesa driver
    // for memory it still holds; the process ends soon after anyway.
#if !defined(QX_ADDRESS_SANITIZER)
    if (--liveContexts == 0) eglTerminate(display_);
#else
    --liveContexts;
#endif
    display_ = nullptr;
    context_ = nullptr;
    framebuffer_ = colourBuffer_ = depthBuffer_ = 0;
    width_ = height_ = 0;
}

}  // namespace qx
