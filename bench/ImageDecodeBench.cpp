// Texture decoding speed: a 2048 x 2048 picture (a smooth gradient with fine noise, so that the
// compressed formats do real work) decoded from memory in each supported file format. Reported
// as megapixels per second.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "core/ByteSink.h"
#include "render/ImageDecoders.h"
#include "render/PngWriter.h"

namespace {

constexpr int Side = 2048;

// R, G, B, A, top row first.
std::vector<std::uint8_t> picture() {
    std::vector<std::uint8_t> rgba(std::size_t{Side} * Side * 4);
    std::uint32_t noise = 12345;
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            noise = noise * 1664525u + 1013904223u;
            std::uint8_t* p = &rgba[(std::size_t{static_cast<std::size_t>(y)} * Side + x) * 4];
            p[0] = static_cast<std::uint8_t>(x / 8 + (noise >> 29));
            p[1] = static_cast<std::uint8_t>(y / 8 + (noise >> 30));
            p[2] = static_cast<std::uint8_t>((x + y) / 16);
            p[3] = static_cast<std::uint8_t>(255 - (x ^ y) % 64);
        }
    return rgba;
}

const std::vector<std::uint8_t>& source() {
    static const std::vector<std::uint8_t> rgba = picture();
    return rgba;
}

std::vector<std::uint8_t> bmp24() {
    const std::uint32_t rowBytes = Side * 3;  // already a multiple of 4
    qx::ByteSink out;
    out.u8('B');
    out.u8('M');
    out.u32(54 + rowBytes * Side);
    out.u32(0);
    out.u32(54);
    out.u32(40);
    out.i32(Side);
    out.i32(Side);
    out.u16(1);
    out.u16(24);
    for (int i = 0; i < 6; ++i) out.u32(0);
    for (int y = Side - 1; y >= 0; --y)
        for (int x = 0; x < Side; ++x) {
            const std::uint8_t* p = &source()[(std::size_t{static_cast<std::size_t>(y)} * Side + x) * 4];
            out.u8(p[2]);
            out.u8(p[1]);
            out.u8(p[0]);
        }
    return out.take();
}

std::vector<std::uint8_t> tga32() {
    qx::ByteSink out;
    const std::uint8_t header[12] = {0, 0, 2};
    out.bytes(header, sizeof header);
    out.u16(Side);
    out.u16(Side);
    out.u8(32);
    out.u8(8);
    for (int y = Side - 1; y >= 0; --y)
        for (int x = 0; x < Side; ++x) {
            const std::uint8_t* p = &source()[(std::size_t{static_cast<std::size_t>(y)} * Side + x) * 4];
            const std::uint8_t bgra[4] = {p[2], p[1], p[0], p[3]};
            out.bytes(bgra, 4);
        }
    return out.take();
}

std::vector<std::uint8_t> png() {
    std::vector<std::uint8_t> out;
    qx::encodePng(source().data(), Side, Side, out);
    return out;
}

std::vector<std::uint8_t> jpeg() {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = Side;
    info.image_height = Side;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(Side * 3);
    while (info.next_scanline < info.image_height) {
        const std::uint8_t* p = &source()[std::size_t{info.next_scanline} * Side * 4];
        for (int x = 0; x < Side; ++x) {
            row[x * 3] = p[x * 4];
            row[x * 3 + 1] = p[x * 4 + 1];
            row[x * 3 + 2] = p[x * 4 + 2];
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

using Decoder = bool (*)(const std::uint8_t*, std::size_t, qx::Texture&, std::string*);

void decode(benchmark::State& state, const std::vector<std::uint8_t>& file, Decoder decoder) {
    qx::Texture texture;
    for (auto _ : state) {
        if (!decoder(file.data(), file.size(), texture, nullptr)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(texture.pixels.data());
    }
    state.counters["MPix/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * Side * Side / 1e6, benchmark::Counter::kIsRate);
    state.counters["fileMB"] = static_cast<double>(file.size()) / 1e6;
}

bool pngWithGamma(const std::uint8_t* data, std::size_t size, qx::Texture& t, std::string* reason) {
    return qx::decodePng(data, size, t, reason);
}

void BM_DecodeBmp24(benchmark::State& state) {
    static const auto file = bmp24();
    decode(state, file, &qx::decodeBmp);
}
void BM_DecodeTga32(benchmark::State& state) {
    static const auto file = tga32();
    decode(state, file, &qx::decodeTga);
}
void BM_DecodePng(benchmark::State& state) {
    static const auto file = png();
    decode(state, file, &pngWithGamma);
}
void BM_DecodeJpeg(benchmark::State& state) {
    static const auto file = jpeg();
    decode(state, file, &qx::decodeJpeg);
}

}  // namespace

BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTga32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);
