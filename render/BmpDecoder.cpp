#include <bit>
#include <climits>
#include <cstring>

#include "core/ByteReader.h"
#include "core/FileBytes.h"
#include "core/ReadProblem.h"
#include "render/ImageDecoders.h"

namespace qx {

namespace {

constexpr std::uint16_t BmpMagic = 0x4D42;  // "BM" read as a little-endian 16-bit value
constexpr std::size_t FileHeaderBytes = 14;
constexpr std::uint32_t CoreHeaderBytes = 12;
constexpr std::uint32_t InfoHeaderBytes = 40;
constexpr std::uint32_t CompressionNone = 0;
constexpr std::uint32_t CompressionBitFields = 3;

// Widens an n-bit channel value to 8 bits by repeating its bits, so that the largest n-bit value
// becomes 255. Values wider than their mask claims are truncated to 8 bits, as the table has it.
std::uint8_t widen(std::uint32_t v, int n) {
    std::uint32_t out = 0;
    switch (n) {
        case 1:
            out = v == 0 ? 0 : 255;
            break;
        case 2:
            out = v | v << 2 | v << 4 | v << 6;
            break;
        case 3:
            out = v << 5 | v << 2 | v >> 1;
            break;
        case 4:
            out = v | v << 4;
            break;
        case 5:
            out = v << 3 | v >> 2;
            break;
        case 6:
            out = v << 2 | v >> 4;
            break;
        case 7:
            out = v << 1 | v >> 6;
            break;
        default:
            out = v;
            break;
    }
    return static_cast<std::uint8_t>(out & 0xFF);
}

struct BitField {
    std::uint32_t mask = 0;
    int shift = 0;
    int width = 0;
};

BitField bitField(std::uint32_t mask, bool shifted) {
    BitField f;
    f.mask = mask;
    f.shift = shifted && mask != 0 ? std::countr_zero(mask) : 0;
    f.width = std::popcount(mask);
    return f;
}

std::uint8_t channel(std::uint32_t v, const BitField& f) { return widen((v & f.mask) >> f.shift, f.width); }

struct Header {
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::int32_t xPixelsPerMetre = 0;
    std::int32_t yPixelsPerMetre = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t coloursImportant = 0;
};

bool readHeaders(ByteReader& in, Header& h, ReadProblem& problem) {
    std::uint16_t magic = 0;
    if (!in.u16(magic)) return problem.fail("not a BMP file (too short)");
    if (magic != BmpMagic) return problem.fail("not a BMP file (bad signature)");
    std::uint32_t fileSize = 0;
    std::uint16_t reserved1 = 0, reserved2 = 0;
    if (!in.u32(fileSize) || !in.u16(reserved1) || !in.u16(reserved2) || !in.u32(h.dataOffset))
        return problem.fail("truncated file header");
    if (!in.u32(h.headerSize)) return problem.fail("truncated information header");
    if (h.headerSize == CoreHeaderBytes) return problem.fail("OS/2 core headers are not supported");
    // Shorter OS/2 2.x headers end before the fields the decoder needs.
    if (h.headerSize < InfoHeaderBytes)
        return problem.fail("unsupported information header size " + std::to_string(h.headerSize));
    if (!in.i32(h.width) || !in.i32(h.height) || !in.u16(h.planes) || !in.u16(h.bits) || !in.u32(h.compression) ||
        !in.u32(h.imageSize) || !in.i32(h.xPixelsPerMetre) || !in.i32(h.yPixelsPerMetre) || !in.u32(h.coloursUsed) ||
        !in.u32(h.coloursImportant))
        return problem.fail("truncated information header");
    return true;
}

}  // namespace

bool decodeBmp(const std::uint8_t* data, std::size_t size, Texture& texture, std::string* reason) {
    BmpColours colours;
    return decodeBmp(data, size, texture, reason, colours);
}

namespace {

bool readBmp(ByteReader& in, Texture& texture, BmpColours& colours, ReadProblem& problem) {
    Header h;
    if (!readHeaders(in, h, problem)) return false;

    if (h.compression != CompressionNone && h.compression != CompressionBitFields)
        return problem.fail("compression " + std::to_string(h.compression) + " is not supported");
    if (h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        return problem.fail(std::to_string(h.bits) + " bits per pixel are not supported");
    if (h.width <= 0) return problem.fail("bad width " + std::to_string(h.width));
    if (h.height == 0 || h.height == INT_MIN) return problem.fail("bad height " + std::to_string(h.height));
    // A negative height marks a file stored top row first.
    const bool topDown = h.height < 0;
    const std::int32_t rows = topDown ? -h.height : h.height;

    colours = BmpColours();
    if (h.bits == 16) {
        if (h.compression == CompressionBitFields) {
            // The masks follow the 40-byte header; in the longer headers they are its next fields.
            if (!in.seek(FileHeaderBytes + InfoHeaderBytes) || !in.u32(colours.redMask) || !in.u32(colours.greenMask) ||
                !in.u32(colours.blueMask))
                return problem.fail("truncated bit-field masks");
        } else {
            // Without masks a 16-bit bitmap holds 5 bits per channel.
            colours.redMask = 0x7C00;
            colours.greenMask = 0x03E0;
            colours.blueMask = 0x001F;
        }
    }

    if (h.bits < 16) {
        // The colour table follows the header, whatever size the header declares (the longer
        // V4 and V5 headers that image editors write put it further out than 40 bytes).
        std::uint64_t entries = h.coloursUsed != 0 ? h.coloursUsed : (1u << h.bits);
        // No pixel can index past entry 255, so a longer table is read only that far.
        if (entries > 256) entries = 256;
        const std::uint64_t paletteOffset = FileHeaderBytes + std::uint64_t{h.headerSize};
        if (paletteOffset > in.size() || !in.seek(static_cast<std::size_t>(paletteOffset)) ||
            !in.fits(static_cast<std::size_t>(entries), 4))
            return problem.fail("truncated colour table");
        in.bytes(colours.palette, static_cast<std::size_t>(entries) * 4);
    }

    const std::uint64_t rowBytes = (std::uint64_t{static_cast<std::uint32_t>(h.width)} * h.bits + 7) / 8;
    const std::uint64_t stride = (std::uint64_t{static_cast<std::uint32_t>(h.width)} * h.bits + 31) / 32 * 4;
    // The last row's padding may be missing from a file without harm.
    const std::uint64_t needed = stride * static_cast<std::uint64_t>(rows - 1) + rowBytes;
    if (!in.seek(h.dataOffset)) return problem.fail("pixel data offset beyond the end of the file");
    if (h.imageSize > in.remaining()) return problem.fail("pixel data shorter than its declared size");
    if (needed > in.remaining())
        return problem.fail("pixel data too short for " + std::to_string(h.width) + "x" + std::to_string(rows) +
                            " pixels");

    // width x rows is bounded by the pixel data checked above, so this stays within a small
    // multiple of the file's size.
    const std::size_t width = static_cast<std::size_t>(h.width);
    std::vector<std::uint8_t> pixels(width * static_cast<std::size_t>(rows) * 4);
    const BitField red = bitField(colours.redMask, true);
    const BitField green = bitField(colours.greenMask, true);
    const BitField blue = bitField(colours.blueMask, false);  // taken to start at bit 0
    const std::uint8_t* source = in.current();
    for (std::int32_t r = 0; r < rows; ++r) {
        const std::uint8_t* s = source + static_cast<std::size_t>(r) * stride;
        const std::int32_t outRow = topDown ? rows - 1 - r : r;
        std::uint8_t* d = pixels.data() + static_cast<std::size_t>(outRow) * width * 4;
        switch (h.bits) {
            case 32:
                for (std::size_t x = 0; x < width; ++x, d += 4, s += 4) {
                    d[0] = s[0];
                    d[1] = s[1];
                    d[2] = s[2];
                    d[3] = 255;
                }
                break;
            case 24:
                for (std::size_t x = 0; x < width; ++x, d += 4, s += 3) {
                    d[0] = s[0];
                    d[1] = s[1];
                    d[2] = s[2];
                    d[3] = 255;
                }
                break;
            case 16:
                for (std::size_t x = 0; x < width; ++x, d += 4, s += 2) {
                    const std::uint32_t v = s[0] | std::uint32_t{s[1]} << 8;
                    d[0] = channel(v, blue);
                    d[1] = channel(v, green);
                    d[2] = channel(v, red);
                    d[3] = 255;
                }
                break;
            case 8:
                for (std::size_t x = 0; x < width; ++x, d += 4) {
                    std::memcpy(d, colours.palette[s[x]], 3);
                    d[3] = 255;
                }
                break;
            case 4:
                for (std::size_t x = 0; x < width; ++x, d += 4) {
                    const std::uint8_t pair = s[x / 2];
                    std::memcpy(d, colours.palette[x % 2 == 0 ? pair >> 4 : pair & 0x0F], 3);
                    d[3] = 255;
                }
                break;
        }
    }

    texture.pixels = std::move(pixels);
    texture.width = h.width;
    texture.height = rows;
    texture.bits = 32;
    texture.rgbaOrder = 0;
    return true;
}

}  // namespace

bool decodeBmp(const std::uint8_t* data, std::size_t size, Texture& texture, std::string* reason, BmpColours& colours) {
    texture.releasePixels();
    ByteReader in(data, size);
    ReadProblem problem;
    if (readBmp(in, texture, colours, problem)) return true;
    problem.report(reason);
    return false;
}

}  // namespace qx
