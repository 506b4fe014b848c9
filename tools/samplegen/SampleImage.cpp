#include "tools/samplegen/SampleImage.h"

#include "core/ByteSink.h"

namespace qx::samples {

void RgbImage::set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    std::uint8_t* p =
        rgb.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    p[0] = r;
    p[1] = g;
    p[2] = b;
}

std::vector<std::uint8_t> encodeBmp24(const RgbImage& image) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(image.height);
    ByteSink out;
    out.bytes("BM", 2);
    out.u32(14 + 40 + pixelBytes);  // file size
    out.u32(0);                     // reserved
    out.u32(14 + 40);               // offset of the pixels
    out.u32(40);                    // header size
    out.i32(image.width);
    out.i32(image.height);  // positive: bottom row first
    out.u16(1);             // planes
    out.u16(24);            // bits per pixel
    out.u32(0);             // no compression
    out.u32(pixelBytes);
    out.i32(2835);  // 72 dots per inch, in dots per metre
    out.i32(2835);
    out.u32(0);  // colours used
    out.u32(0);  // important colours
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* p =
            image.rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) * 3;
        for (int x = 0; x < image.width; ++x, p += 3) {
            out.u8(p[2]);
            out.u8(p[1]);
            out.u8(p[0]);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(image.width) * 3; pad < rowBytes; ++pad) out.u8(0);
    }
    return out.take();
}

}  // namespace qx::samples
