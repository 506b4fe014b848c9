#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "core/FileBytes.h"
#include "render/ImageDecoders.h"

namespace qx {

namespace {

// Compressed JPEG data can describe a large flat picture in very few bytes (progressive files
// above all), so the pixel count is bounded by the file size plus an allowance that every
// ordinary texture fits in: 2048 x 2048 always, and 1024 more pixels per byte of file.
constexpr std::uint64_t FreePixels = 2048 * 2048;
constexpr std::uint64_t PixelsPerFileByte = 1024;
// The library's own working memory (progressive files keep every coefficient) is capped too.
constexpr long LibraryMemoryLimit = 512L * 1024 * 1024;

struct JpegErrors {
    jpeg_error_mgr manager;  // first, so that the library's pointer to it is a pointer to this
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings show nothing, except a file that ends early: the library would fill the missing
// rows with grey, and a truncated file is refused instead.
void onMessage(j_common_ptr info, int level) {
    if (level == -1 && info->err->msg_code == JWRN_JPEG_EOF) onError(info);
}

void onOutput(j_common_ptr) {}

// Everything the library touches lives here, outside the function that calls setjmp, so that a
// jump back from an error skips no C++ destructor.
struct JpegJob {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    bool started = false;
    char refusal[96] = {};
    std::vector<std::uint8_t>* pixels = nullptr;
    std::vector<std::uint8_t> row;
};

bool refuse(JpegJob& job, const char* text) {
    std::snprintf(job.refusal, sizeof job.refusal, "%s", text);
    return false;
}

bool runJpeg(JpegJob& job) {
    if (setjmp(job.errors.jump)) return false;
    jpeg_create_decompress(&job.info);
    job.started = true;
    jpeg_mem_src(&job.info, job.data, static_cast<unsigned long>(job.size));
    jpeg_read_header(&job.info, TRUE);
    job.info.mem->max_memory_to_use = LibraryMemoryLimit;

    const int components = job.info.num_components;
    if (components != 1 && components != 3) {
        return refuse(job, components == 4 ? "four-component (CMYK or YCCK) JPEG images are not supported"
                                           : "JPEG images with this many components are not supported");
    }
    // Grey images are expanded to R = G = B by the library.
    job.info.out_color_space = JCS_RGB;
    const std::uint64_t pixelCount = std::uint64_t{job.info.image_width} * job.info.image_height;
    if (pixelCount > FreePixels + PixelsPerFileByte * job.size) return refuse(job, "image too large for its file");

    jpeg_start_decompress(&job.info);
    if (job.info.output_components != 3) return refuse(job, "unexpected JPEG output layout");
    const std::size_t width = job.info.output_width;
    const std::size_t height = job.info.output_height;
    job.pixels->assign(width * height * 4, 0);
    job.row.resize(width * 3);
    while (job.info.output_scanline < job.info.output_height) {
        // The library delivers the top row first; the texture keeps the bottom row first.
        const std::size_t y = job.info.output_scanline;
        JSAMPROW rows[1] = {job.row.data()};
        if (jpeg_read_scanlines(&job.info, rows, 1) != 1) return refuse(job, "JPEG data ended early");
        const std::uint8_t* s = job.row.data();
        std::uint8_t* d = job.pixels->data() + (height - 1 - y) * width * 4;
        for (std::size_t x = 0; x < width; ++x, s += 3, d += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = 255;
        }
    }
    jpeg_finish_decompress(&job.info);
    return true;
}

}  // namespace

bool decodeJpeg(const std::uint8_t* data, std::size_t size, Texture& texture, std::string* reason) {
    texture.releasePixels();
    JpegJob job;
    job.data = data;
    job.size = size;
    std::vector<std::uint8_t> pixels;
    job.pixels = &pixels;
    job.info.err = jpeg_std_error(&job.errors.manager);
    job.errors.manager.error_exit = &onError;
    job.errors.manager.emit_message = &onMessage;
    job.errors.manager.output_message = &onOutput;
    const bool ok = runJpeg(job);
    if (job.started) jpeg_destroy_decompress(&job.info);
    if (!ok) {
        const char* why = job.refusal[0] != 0 ? job.refusal : job.errors.message;
        setReason(reason, std::string("bad JPEG: ") + why);
        return false;
    }
    texture.pixels = std::move(pixels);
    texture.width = static_cast<std::int32_t>(job.info.output_width);
    texture.height = static_cast<std::int32_t>(job.info.output_height);
    texture.bits = 32;
    texture.rgbaOrder = 1;
    return true;
}

}  // namespace qx
