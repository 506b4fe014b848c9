#include <png.h>

#include <cstdio>
#include <cstring>

#include "core/ByteReader.h"
#include "core/FileBytes.h"
#include "render/ImageDecoders.h"

namespace qx {

namespace {

constexpr std::size_t SignatureBytes = 8;
constexpr double DefaultFileGamma = 0.45455;
constexpr double ScreenGamma = 2.2;
// Deflate cannot expand its input by more than about 1032 times; image data that would need
// more is a lie about the image size, caught before the pixel buffer is made.
constexpr std::uint64_t DeflateMaxRatio = 1032;
// The chunks still read (palette, transparency, gamma...) are small.
constexpr png_alloc_size_t ChunkBytesLimit = 1 << 20;

// Everything the libpng calls touch lives here, outside the function that calls setjmp, so
// that a jump back from an error skips no C++ destructor.
struct PngJob {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t position = SignatureBytes;
    bool applyGamma = true;
    png_structp png = nullptr;
    png_infop info = nullptr;
    char message[160] = {};
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    std::vector<std::uint8_t>* pixels = nullptr;
    std::vector<std::uint8_t> rgbRows;
    std::vector<png_bytep> rows;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (count > job->size - job->position) png_error(png, "file truncated");
    std::memcpy(out, job->data + job->position, count);
    job->position += count;
}

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", message);
    png_longjmp(png, 1);
}

// Warnings (unknown chunks, bad CRCs in ancillary chunks) do not stop the decode and show nothing.
void onWarning(png_structp, png_const_charp) {}

// The sum of the IDAT chunk lengths, walking the chunk headers as far as the bytes go.
std::uint64_t compressedImageBytes(const std::uint8_t* data, std::size_t size) {
    std::uint64_t total = 0;
    std::size_t at = SignatureBytes;
    while (size - at >= 12) {
        const std::uint32_t length = std::uint32_t{data[at]} << 24 | std::uint32_t{data[at + 1]} << 16 |
                                     std::uint32_t{data[at + 2]} << 8 | data[at + 3];
        if (std::memcmp(data + at + 4, "IDAT", 4) == 0) total += length;
        if (length > size - at - 12) break;
        at += 12 + std::size_t{length};
    }
    return total;
}

bool fail(PngJob& job, const char* text) {
    std::snprintf(job.message, sizeof job.message, "%s", text);
    return false;
}

// All libpng calls, under one setjmp: a libpng error returns here with false.
bool runPng(PngJob& job) {
    if (setjmp(png_jmpbuf(job.png))) return false;
    png_set_read_fn(job.png, &job, &readFromMemory);
    png_set_sig_bytes(job.png, static_cast<int>(SignatureBytes));
    // Text, profiles and the like are never used; left to libpng, a chunk's declared length (or
    // its inflated size) would be allocated before anything checks it against the file.
    static const png_byte Unused[] = "iCCP\0iTXt\0tEXt\0zTXt\0sPLT\0eXIf\0";
    png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, Unused, 6);
    png_set_chunk_malloc_max(job.png, ChunkBytesLimit);
    png_read_info(job.png, job.info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(job.png, job.info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
    const std::uint64_t storedBitsPerPixel = std::uint64_t{png_get_channels(job.png, job.info)} * bitDepth;
    job.width = width;
    job.height = height;
    job.bitDepth = bitDepth;

    const bool grey = colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA;
    if (bitDepth == 16) png_set_strip_16(job.png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(job.png);
    if (bitDepth < 8) {
        // Grey samples are scaled to 0..255 as the format defines them; unpacking alone would
        // leave a 1-bit white at 1.
        if (grey)
            png_set_expand_gray_1_2_4_to_8(job.png);
        else
            png_set_packing(job.png);
    }
    if (png_get_valid(job.png, job.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(job.png);
    if (grey) png_set_gray_to_rgb(job.png);
    if (job.applyGamma) {
        double fileGamma = DefaultFileGamma;
        if (!png_get_gAMA(job.png, job.info, &fileGamma)) fileGamma = DefaultFileGamma;
        png_set_gamma(job.png, ScreenGamma, fileGamma);
    }
    png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);

    const std::size_t rowBytes = png_get_rowbytes(job.png, job.info);
    const std::size_t w = width, h = height;
    if (rowBytes != w * 3 && rowBytes != w * 4) return fail(job, "unsupported pixel layout after conversion");
    // What inflating the image data must yield at least: each row's filter byte and packed
    // samples (an interlaced image has more filter bytes, never fewer sample bytes).
    const std::uint64_t storedBytes =
        interlace == PNG_INTERLACE_NONE
            ? std::uint64_t{height} * (1 + (std::uint64_t{width} * storedBitsPerPixel + 7) / 8)
            : (std::uint64_t{width} * height * storedBitsPerPixel + 7) / 8;
    if (storedBytes > DeflateMaxRatio * (compressedImageBytes(job.data, job.size) + 1))
        return fail(job, "image data too short for its size");

    // libpng delivers the top row first; the texture keeps the bottom row first.
    job.pixels->assign(w * h * 4, 0);
    job.rows.resize(h);
    const bool rgb = rowBytes == w * 3;
    if (rgb) job.rgbRows.resize(w * h * 3);
    std::uint8_t* target = rgb ? job.rgbRows.data() : job.pixels->data();
    for (std::size_t i = 0; i < h; ++i) job.rows[i] = target + (h - 1 - i) * rowBytes;
    png_read_image(job.png, job.rows.data());
    png_read_end(job.png, nullptr);

    if (rgb) {
        const std::uint8_t* s = job.rgbRows.data();
        std::uint8_t* d = job.pixels->data();
        for (std::size_t i = 0; i < w * h; ++i, s += 3, d += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = 255;
        }
    }
    return true;
}

}  // namespace

bool decodePng(const std::uint8_t* data, std::size_t size, Texture& texture, std::string* reason, bool applyGamma) {
    texture.releasePixels();
    if (size < SignatureBytes || png_sig_cmp(data, 0, SignatureBytes) != 0) {
        setReason(reason, "not a PNG file (bad signature)");
        return false;
    }
    PngJob job;
    job.data = data;
    job.size = size;
    job.applyGamma = applyGamma;
    std::vector<std::uint8_t> pixels;
    job.pixels = &pixels;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, &onError, &onWarning);
    if (job.png != nullptr) job.info = png_create_info_struct(job.png);
    if (job.png == nullptr || job.info == nullptr) {
        png_destroy_read_struct(&job.png, nullptr, nullptr);
        setReason(reason, "cannot start the PNG decoder");
        return false;
    }
    const bool ok = runPng(job);
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    if (!ok) {
        setReason(reason, std::string("bad PNG: ") + job.message);
        return false;
    }
    texture.pixels = std::move(pixels);
    texture.width = static_cast<std::int32_t>(job.width);
    texture.height = static_cast<std::int32_t>(job.height);
    texture.bits = 32;
    texture.rgbaOrder = 1;
    return true;
}

}  // namespace qx
