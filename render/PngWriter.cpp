#include "render/PngWriter.h"

#include <png.h>

#include <cstdio>

#include "core/ByteSink.h"
#include "core/FileBytes.h"

namespace qx {

namespace {

// Everything libpng touches lives here, outside the function that calls setjmp.
struct PngOutput {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const std::uint8_t* rgba = nullptr;
    int width = 0;
    int height = 0;
    bool fast = false;
    std::vector<std::uint8_t>* out = nullptr;
    std::vector<png_const_bytep> rows;
    char message[160] = {};
};

void appendBytes(png_structp png, png_bytep data, png_size_t count) {
    auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
    output->out->insert(output->out->end(), data, data + count);
}

void flushNothing(png_structp) {}

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    auto* output = static_cast<PngOutput*>(png_get_error_ptr(png));
    std::snprintf(output->message, sizeof output->message, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

bool runEncoder(PngOutput& o) {
    if (setjmp(png_jmpbuf(o.png))) return false;
    png_set_write_fn(o.png, &o, &appendBytes, &flushNothing);
    png_set_IHDR(o.png, o.info, static_cast<png_uint_32>(o.width), static_cast<png_uint_32>(o.height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (o.fast) png_set_compression_level(o.png, 1);
    png_write_info(o.png, o.info);
    o.rows.resize(static_cast<std::size_t>(o.height));
    const std::size_t rowBytes = static_cast<std::size_t>(o.width) * 4;
    for (std::size_t y = 0; y < o.rows.size(); ++y) o.rows[y] = o.rgba + y * rowBytes;
    png_write_image(o.png, const_cast<png_bytepp>(o.rows.data()));
    png_write_end(o.png, nullptr);
    return true;
}

}  // namespace

bool encodePng(const std::uint8_t* rgba, int width, int height, std::vector<std::uint8_t>& out, std::string* reason,
               PngPacking packing) {
    out.clear();
    if (width <= 0 || height <= 0 || rgba == nullptr) {
        setReason(reason, "empty picture");
        return false;
    }
    PngOutput o;
    o.rgba = rgba;
    o.width = width;
    o.height = height;
    o.fast = packing == PngPacking::Fast;
    o.out = &out;
    o.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &o, &onError, &onWarning);
    if (o.png != nullptr) o.info = png_create_info_struct(o.png);
    if (o.png == nullptr || o.info == nullptr) {
        png_destroy_write_struct(&o.png, nullptr);
        setReason(reason, "cannot start the PNG encoder");
        return false;
    }
    const bool ok = runEncoder(o);
    png_destroy_write_struct(&o.png, &o.info);
    if (!ok) {
        out.clear();
        setReason(reason, std::string("cannot encode PNG: ") + o.message);
    }
    return ok;
}

bool writePng(const std::string& path, const std::uint8_t* rgba, int width, int height, std::string* reason) {
    std::vector<std::uint8_t> bytes;
    if (!encodePng(rgba, width, height, bytes, reason)) return false;
    return writeFileAtomically(path, bytes, reason);
}

}  // namespace qx
