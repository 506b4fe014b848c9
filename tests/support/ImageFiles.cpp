#include "tests/support/ImageFiles.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <jpeglib.h>

#include "core/ByteSink.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx::test {

Bytes makeBmp(const BmpLayout& layout) {
    ByteSink pixels;
    for (const Bytes& row : layout.rows) {
        pixels.bytes(row.data(), row.size());
        for (std::size_t n = row.size(); n % 4 != 0; ++n) pixels.u8(layout.padByte);
    }
    const std::uint32_t headerEnd = 14 + layout.headerSize;
    const std::uint32_t masksAfter = layout.masks && layout.headerSize < 52 ? 12 : 0;
    const std::uint32_t dataOffset = headerEnd + masksAfter + static_cast<std::uint32_t>(layout.palette.size()) * 4;

    ByteSink out;
    out.u8('B');
    out.u8('M');
    out.u32(dataOffset + static_cast<std::uint32_t>(pixels.data().size()));
    out.u32(0);
    out.u32(dataOffset);
    out.u32(layout.headerSize);
    out.i32(layout.width);
    out.i32(layout.height);
    out.u16(1);
    out.u16(layout.bits);
    out.u32(layout.compression);
    out.u32(layout.imageSizeField);
    out.i32(2835);
    out.i32(2835);
    out.u32(layout.coloursUsed);
    out.u32(0);
    // The longer headers: masks first (where they are), the rest zero.
    std::uint32_t written = 40;
    if (layout.masks) {
        for (const std::uint32_t m : *layout.masks) out.u32(m);
        written += 12;
    }
    for (; written < layout.headerSize; ++written) out.u8(0);
    for (const auto& entry : layout.palette) out.bytes(entry.data(), 4);
    out.bytes(pixels.data().data(), pixels.data().size());
    return out.take();
}

Bytes makeTga(const TgaLayout& layout) {
    ByteSink out;
    out.u8(static_cast<std::uint8_t>(layout.imageId.size()));
    out.u8(layout.colourMapType);
    out.u8(layout.imageType);
    out.u16(0);
    out.u16(static_cast<std::uint16_t>(layout.colourMap.size() / 3));
    out.u8(layout.colourMap.empty() ? 0 : 24);
    out.u16(0);
    out.u16(0);
    out.u16(layout.width);
    out.u16(layout.height);
    out.u8(layout.bits);
    out.u8(layout.descriptor);
    out.bytes(layout.imageId.data(), layout.imageId.size());
    out.bytes(layout.colourMap.data(), layout.colourMap.size());
    out.bytes(layout.pixels.data(), layout.pixels.size());
    return out.take();
}

namespace {

void appendPng(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void flushPng(png_structp) {}

}  // namespace

Bytes makePng(int width, int height, int colourType, int bitDepth, const std::vector<Bytes>& rows) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("cannot make the test PNG");
    }
    png_set_write_fn(png, &out, &appendPng, &flushPng);
    png_set_IHDR(png, info, width, height, bitDepth, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (const Bytes& row : rows) png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes makeJpeg(int width, int height, int components, const Bytes& samples) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * components;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + info.next_scanline * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

std::filesystem::path testFile(const std::string& relative) { return testDataDir() / relative; }

std::optional<Bytes> referencePixels(const std::filesystem::path& image, bool noGamma) {
    const std::filesystem::path reference = image.string() + (noGamma ? ".rgba-nogamma" : ".rgba");
    if (!std::filesystem::exists(reference)) return std::nullopt;
    return readBytes(reference.string());
}

int largestDifference(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size()) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(int{a[i]} - int{b[i]}));
    return largest;
}

}  // namespace qx::test
