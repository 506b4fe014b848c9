// The vertex model sample: a flag on a pole. The cloth is a 12 x 8 grid drawn as one triangle
// strip per row; the pole is a strip of eight sides under a fan-shaped cap. Three animations,
// each looping back onto its first frame: "wave" (12 frames, a steady breeze), "flap" (8
// frames, gusts that travel diagonally) and "droop" (6 frames, hanging limp and swaying).

#include <cmath>
#include <functional>
#include <string>

#include "core/ByteSink.h"
#include "math/Trig.h"
#include "tools/samplegen/SampleImage.h"
#include "tools/samplegen/Samples.h"
#include "vertex/VertexModelFile.h"

namespace qx::samples {

namespace {

constexpr float TwoPi = 6.2831853f;

constexpr int Columns = 12;  // quads along the flag
constexpr int Rows = 8;      // quads up the flag
constexpr float FlagLength = 40.0f;
constexpr float FlagHeight = 24.0f;
constexpr float FlagBottom = 34.0f;
constexpr int PoleSides = 8;
constexpr float PoleRadius = 1.0f;
constexpr float PoleHeight = 60.0f;

// The skin: the cloth on the left 112 columns, wood for the pole on the right 16.
constexpr int SkinWidth = 128;
constexpr int SkinHeight = 64;
constexpr float ClothS = 112.0f / SkinWidth;

constexpr int ClothVertices = (Columns + 1) * (Rows + 1);
constexpr int PoleBottom = ClothVertices;        // ring at y = 0
constexpr int PoleTop = PoleBottom + PoleSides;  // ring at the pole's top
constexpr int PoleKnob = PoleTop + PoleSides;    // the cap's centre
constexpr int VertexCount = PoleKnob + 1;

int cloth(int i, int j) { return j * (Columns + 1) + i; }

// Where the cloth point at (u, v) (both 0..1, u along the flag from the pole, v upwards) is at
// animation phase 0..1.
using ClothShape = std::function<Vector3(float u, float v, float phase)>;

Vector3 waveShape(float u, float v, float phase) {
    const float z = 4.0f * u * fsin(TwoPi * (1.5f * u - phase));
    return {FlagLength * u, FlagBottom + FlagHeight * v, z};
}

Vector3 flapShape(float u, float v, float phase) {
    const float travel = 2.2f * u - phase + 0.15f * v;
    const float z = 7.0f * u * fsin(TwoPi * travel);
    // The fly end lifts and falls a little with each gust.
    const float lift = 1.5f * u * u * fsin(TwoPi * (phase + 0.25f));
    return {FlagLength * u * 0.97f, FlagBottom + FlagHeight * v + lift, z};
}

Vector3 droopShape(float u, float v, float phase) {
    const float angle = (70.0f + 5.0f * fsin(TwoPi * phase)) * DegreeFactor;
    const float d = FlagLength * 0.9f * u;
    const float z = 1.5f * u * fsin(TwoPi * (phase + u));
    return {d * fcos(angle), FlagBottom + FlagHeight * v - d * fsin(angle) * 0.6f, z};
}

ModelFrame makeFrame(const std::string& name, const ClothShape& shape, float phase, const ModelFrame& pole) {
    ModelFrame frame;
    frame.name = name;
    frame.vertices.resize(VertexCount);
    for (int j = 0; j <= Rows; ++j)
        for (int i = 0; i <= Columns; ++i)
            frame.vertices[cloth(i, j)].position =
                shape(static_cast<float>(i) / Columns, static_cast<float>(j) / Rows, phase);
    // Normals across the grid from neighbouring points (one-sided at the edges).
    for (int j = 0; j <= Rows; ++j) {
        for (int i = 0; i <= Columns; ++i) {
            const Vector3 along = frame.vertices[cloth(std::min(i + 1, Columns), j)].position -
                                  frame.vertices[cloth(std::max(i - 1, 0), j)].position;
            const Vector3 up = frame.vertices[cloth(i, std::min(j + 1, Rows))].position -
                               frame.vertices[cloth(i, std::max(j - 1, 0))].position;
            frame.vertices[cloth(i, j)].normal = normalize(cross(along, up));
        }
    }
    for (int k = PoleBottom; k < VertexCount; ++k) frame.vertices[k] = pole.vertices[k];
    return frame;
}

// The pole's vertices, the same in every frame.
ModelFrame makePole() {
    ModelFrame pole;
    pole.vertices.resize(VertexCount);
    for (int k = 0; k < PoleSides; ++k) {
        const float a = TwoPi * static_cast<float>(k) / PoleSides;
        const Vector3 outward{fcos(a), 0.0f, -fsin(a)};
        const Vector3 centre{-PoleRadius, 0.0f, 0.0f};
        pole.vertices[PoleBottom + k] = {centre + outward * PoleRadius, outward};
        pole.vertices[PoleTop + k] = {centre + outward * PoleRadius + Vector3(0, PoleHeight, 0), outward};
    }
    pole.vertices[PoleKnob] = {{-PoleRadius, PoleHeight + 1.0f, 0.0f}, UnitY};
    return pole;
}

std::vector<DrawCommand> makeCommands() {
    std::vector<DrawCommand> commands;
    // One strip per row of cloth quads, counter-clockwise seen from +z.
    for (int j = 0; j < Rows; ++j) {
        DrawCommand strip;
        strip.type = TriangleStrip;
        for (int i = 0; i <= Columns; ++i) {
            const float s = ClothS * static_cast<float>(i) / Columns;
            strip.vertices.push_back({s, static_cast<float>(j + 1) / Rows, cloth(i, j + 1)});
            strip.vertices.push_back({s, static_cast<float>(j) / Rows, cloth(i, j)});
        }
        commands.push_back(std::move(strip));
    }
    // The pole's sides: around the ring and back to the first side.
    DrawCommand sides;
    sides.type = TriangleStrip;
    for (int k = 0; k <= PoleSides; ++k) {
        const float s = ClothS + (1.0f - ClothS) * static_cast<float>(k) / PoleSides;
        sides.vertices.push_back({s, 1.0f, PoleTop + k % PoleSides});
        sides.vertices.push_back({s, 0.0f, PoleBottom + k % PoleSides});
    }
    commands.push_back(std::move(sides));
    // The cap: a fan from the knob around the top ring.
    DrawCommand cap;
    cap.type = TriangleFan;
    cap.vertices.push_back({(1.0f + ClothS) / 2.0f, 1.0f, PoleKnob});
    for (int k = 0; k <= PoleSides; ++k)
        cap.vertices.push_back({(1.0f + ClothS) / 2.0f, 0.95f, PoleTop + k % PoleSides});
    commands.push_back(std::move(cap));
    return commands;
}

// Blue, white and red bands with a golden disc near the pole; wood with a grain for the pole.
RgbImage makeSkin() {
    RgbImage image(SkinWidth, SkinHeight);
    for (int y = 0; y < SkinHeight; ++y) {
        for (int x = 0; x < SkinWidth; ++x) {
            if (x >= 112) {
                const int grain =
                    static_cast<int>(18.0f * fsin(0.9f * static_cast<float>(x) + 0.15f * static_cast<float>(y)));
                image.set(x, y, static_cast<std::uint8_t>(130 + grain), static_cast<std::uint8_t>(88 + grain / 2), 45);
                continue;
            }
            const float dx = static_cast<float>(x) - 30.0f;
            const float dy = static_cast<float>(y) - 31.5f;
            const float r = fsqrt(dx * dx + dy * dy);
            if (r < 10.0f)
                image.set(x, y, 245, 200, 40);
            else if (r < 12.0f)
                image.set(x, y, 150, 110, 20);
            else if (y < 21)
                image.set(x, y, 30, 60, 150);
            else if (y < 43)
                image.set(x, y, 240, 240, 232);
            else
                image.set(x, y, 190, 30, 40);
        }
    }
    return image;
}

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

}  // namespace

bool writeVertexSample(const std::string& folder, std::string* reason) {
    VertexModel model;
    model.vertexCount = VertexCount;
    const ModelFrame pole = makePole();
    struct Animation {
        const char* name;
        int frames;
        ClothShape shape;
    };
    for (const Animation& animation :
         {Animation{"wave", 12, waveShape}, Animation{"flap", 8, flapShape}, Animation{"droop", 6, droopShape}}) {
        for (int f = 0; f < animation.frames; ++f) {
            const float phase = static_cast<float>(f) / static_cast<float>(animation.frames);
            model.frames.push_back(makeFrame(animation.name + twoDigits(f + 1), animation.shape, phase, pole));
        }
    }
    model.commands = makeCommands();
    if (!writeVertexModel(folder + "/flag.qv1", model, reason)) return false;
    return writeFileAtomically(folder + "/flag.bmp", encodeBmp24(makeSkin()), reason);
}

}  // namespace qx::samples
