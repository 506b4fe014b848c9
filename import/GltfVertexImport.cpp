#include "import/GltfVertexImport.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "import/GltfColourSkin.h"
#include "import/GltfGeometry.h"
#include "import/GltfImages.h"
#include "import/GltfNames.h"
#include "import/GltfTextures.h"

namespace qx {

namespace {

bool fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

// The frame at time t of animation (-1: at rest).
ModelFrame frameAt(const tinygltf::Model& model, const GltfNodeTree& tree, const GltfGeometry& geometry,
                   const GltfAnimation* animation, double t) {
    std::vector<ColumnMatrix> local = tree.local;
    if (animation != nullptr)
        for (const auto& entry : animation->nodes) {
            const auto node = static_cast<std::size_t>(entry.first);
            if (entry.second.translation >= 0 || entry.second.rotation >= 0 || entry.second.scale >= 0)
                local[node] = matrixOf(animation->poseAt(entry.first, tree.rest[node], t));
        }
    const std::vector<ColumnMatrix> world = worldOf(tree, local);
    ModelFrame frame;
    frame.vertices.resize(geometry.positions.size());
    for (const GltfPrimitiveRange& range : geometry.primitives) {
        const auto node = static_cast<std::size_t>(range.node);
        std::vector<double> weights(range.targetPositions.size(), 0.0);
        const auto& defaults = model.meshes[static_cast<std::size_t>(model.nodes[node].mesh)].weights;
        for (std::size_t i = 0; i < weights.size() && i < defaults.size(); ++i)
            weights[i] = std::isfinite(defaults[i]) ? defaults[i] : 0.0;
        if (animation != nullptr)
            if (const auto found = animation->nodes.find(range.node);
                found != animation->nodes.end() && found->second.weights >= 0) {
                const GltfCurve& curve = animation->curves[static_cast<std::size_t>(found->second.weights)];
                std::vector<double> values(static_cast<std::size_t>(curve.components));
                curve.evaluate(t, values.data());
                for (std::size_t i = 0; i < weights.size() && i < values.size(); ++i) weights[i] = values[i];
            }
        const ColumnMatrix turn = normalMatrix(world[node]);
        for (std::size_t v = range.first; v < range.first + range.count; ++v) {
            std::array<double, 3> p{}, n{};
            for (std::size_t c = 0; c < 3; ++c) {
                p[c] = geometry.positions[v][c];
                n[c] = geometry.normals[v][c];
                for (std::size_t i = 0; i < weights.size(); ++i) {
                    p[c] += weights[i] * range.targetPositions[i][(v - range.first) * 3 + c];
                    if (!range.targetNormals[i].empty())
                        n[c] += weights[i] * range.targetNormals[i][(v - range.first) * 3 + c];
                }
            }
            p = qx::apply(world[node], p);
            n = qx::apply(turn, n);
            const double length = std::hypot(n[0], n[1], n[2]);
            if (length > 0.0) n = {n[0] / length, n[1] / length, n[2] / length};
            frame.vertices[v].position = {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
            frame.vertices[v].normal = {static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2])};
        }
    }
    return frame;
}

// A clip's name as frame names take it: no 0 byte, and not ending in a digit, which the frames'
// numbers would run into.
std::string clipName(const std::string& name, std::size_t index, std::size_t& replaced, std::set<std::string>& used) {
    std::string bytes = bytesOfText(name, replaced);
    for (char& c : bytes)
        if (c == '\0') c = '?';
    if (bytes.empty()) bytes = "animation" + std::to_string(index + 1);
    bytes = uniqueName(bytes, used);
    if (bytes.back() >= '0' && bytes.back() <= '9') bytes += '_';
    return bytes;
}

// The skin goes into the model and, as the file its name asks for, beside it.
void takeSkin(VertexModel& vertex, ImportedImage skin, GltfImport& result) {
    vertex.skin.width = skin.picture.width;
    vertex.skin.height = skin.picture.height;
    vertex.skin.bits = skin.picture.bits;
    vertex.skin.rgbaOrder = skin.picture.rgbaOrder;
    vertex.skin.pixels = skin.picture.pixels;
    result.images.push_back(std::move(skin));  // its file name is the model's own
}

}  // namespace

bool importVertexModel(const GltfDocument& document, const GltfNodeTree& tree,
                       const std::vector<GltfAnimation>& animations, const GltfImportOptions& options,
                       GltfImport& result, std::string* reason) {
    const tinygltf::Model& model = document.model;
    GltfGeometry geometry;
    for (std::size_t n = 0; n < model.nodes.size(); ++n)
        if (model.nodes[n].mesh >= 0 && !addNodeMesh(model, static_cast<int>(n), false, true, geometry, reason))
            return false;
    if (geometry.triangles.empty()) return fail(reason, "the file shows no triangle");
    if (geometry.positions.size() > static_cast<std::size_t>(INT32_MAX))
        return fail(reason, "too many vertices for a vertex model");
    if (!(options.framesPerSecond > 0.0f) || !std::isfinite(options.framesPerSecond))
        return fail(reason, "the frame rate must be a number above 0");

    // How many frames each animation takes, checked before any is made.
    std::vector<std::size_t> counts;
    double total = animations.empty() ? 1.0 : 0.0;
    for (const GltfAnimation& animation : animations) {
        const double frames =
            std::floor(static_cast<double>(animation.duration) * options.framesPerSecond + 1e-6) + 1.0;
        total += frames;
        counts.push_back(static_cast<std::size_t>(std::min(frames, 1e15)));
    }
    if (total * static_cast<double>(geometry.positions.size()) > static_cast<double>(GltfLargestVertexFrames))
        return fail(reason, "the animations make " + std::to_string(static_cast<long long>(total)) + " frames of " +
                                std::to_string(geometry.positions.size()) +
                                " vertices, more than a vertex model holds here (a lower --fps takes fewer)");

    auto vertex = std::make_unique<VertexModel>();
    vertex->vertexCount = static_cast<std::int32_t>(geometry.positions.size());
    std::size_t replaced = 0;
    std::set<std::string> used;
    if (animations.empty()) {
        vertex->frames.push_back(frameAt(model, tree, geometry, nullptr, 0.0));
        vertex->frames.back().name = "rest";
    }
    for (std::size_t a = 0; a < animations.size(); ++a) {
        const std::string clip = clipName(animations[a].name, a, replaced, used);
        const int digits = std::max(2, static_cast<int>(std::to_string(counts[a]).size()));
        for (std::size_t k = 0; k < counts[a]; ++k) {
            vertex->frames.push_back(
                frameAt(model, tree, geometry, &animations[a], k / double{options.framesPerSecond}));
            std::string number = std::to_string(k);
            vertex->frames.back().name =
                clip + std::string(static_cast<std::size_t>(digits) - number.size(), '0') + number;
        }
    }
    int skinImage = -1;
    std::set<int> images;
    for (const GltfTriangle& triangle : geometry.triangles)
        if (const int image = baseColourImage(model, triangle.material); image >= 0) {
            images.insert(image);
            if (skinImage < 0) skinImage = image;
        }
    GltfColourSkin colours;
    std::string colourNote;
    const bool colourSkin = skinImage < 0 && makeColourSkin(model, geometry, colours, colourNote);
    if (!colourNote.empty()) result.notes.push_back(colourNote);
    // A skin is clamped at its edges, where glTF repeats a picture: each triangle is moved by
    // whole pictures to start inside it, and those that still reach out are counted.
    std::size_t repeating = 0;
    for (const GltfTriangle& triangle : geometry.triangles) {
        DrawCommand command;
        command.type = TriangleFan;
        float low[2] = {INFINITY, INFINITY}, high[2] = {-INFINITY, -INFINITY};
        for (const std::uint32_t corner : triangle.corners) {
            const float st[2] = {geometry.uvs[corner][0], 1.0f - geometry.uvs[corner][1]};
            for (int i = 0; i < 2; ++i) low[i] = std::min(low[i], st[i]), high[i] = std::max(high[i], st[i]);
        }
        const float shift[2] = {std::floor(low[0]), std::floor(low[1])};
        for (int i = 0; i < 2; ++i)
            if (high[i] - shift[i] > 1.0f + 1e-6f) ++repeating;
        for (const std::uint32_t corner : triangle.corners)
            if (colourSkin) {
                const auto& cell = colours.cellOfTriangle[vertex->commands.size()];
                command.vertices.push_back({cell[0], cell[1], static_cast<std::int32_t>(corner)});
            } else {
                command.vertices.push_back({geometry.uvs[corner][0] - shift[0],
                                            1.0f - geometry.uvs[corner][1] - shift[1],
                                            static_cast<std::int32_t>(corner)});
            }
        vertex->commands.push_back(std::move(command));
    }
    if (colourSkin) {
        ImportedImage skin;
        skin.picture = std::move(colours.picture);
        takeSkin(*vertex, std::move(skin), result);
    }
    if (skinImage >= 0 && repeating > 0)
        result.notes.push_back(std::to_string(repeating) +
                               " triangle(s) repeat their picture across them, which a vertex model's skin cannot");
    if (skinImage >= 0) {
        ImportedImage skin;
        std::string why;
        if (decodeGltfImage(document.imageBytes[static_cast<std::size_t>(skinImage)], skin.picture, &why)) {
            takeSkin(*vertex, std::move(skin), result);
        } else {
            result.notes.push_back("the skin's image is left out: " + why);
        }
    }
    if (images.size() > 1)
        result.notes.push_back(std::to_string(images.size()) + " textures: a vertex model has one skin, the first");
    noteReplacedCharacters(replaced, result.notes);
    noteSkippedPrimitives(geometry, result.notes);
    result.vertexModel = std::move(vertex);
    return true;
}

}  // namespace qx
