// The vertex model kinds of qxtool: ".qv1" and ".md2" for dump and info, and the MD2 conversion.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <string>

#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/VertexJson.h"
#include "vertex/Md2Model.h"
#include "vertex/VertexModelFile.h"
#include "vertex/VertexModelFromMd2.h"

namespace qx::tool {

namespace {

// Frames named like "run1".."run6" form the animation "run".
std::string animationName(const std::string& frameName) {
    std::size_t end = frameName.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(frameName[end - 1]))) --end;
    return frameName.substr(0, end);
}

void printAnimations(const std::vector<std::string>& names) {
    std::cout << "  animations:";
    std::size_t first = 0;
    while (first < names.size()) {
        const std::string animation = animationName(names[first]);
        std::size_t last = first;
        while (last + 1 < names.size() && animationName(names[last + 1]) == animation) ++last;
        std::cout << ' ' << (animation.empty() ? "(unnamed)" : animation) << ' ' << first << '-' << last;
        first = last + 1;
    }
    std::cout << '\n';
}

void printBox(const std::vector<FrameVertex>& vertices) {
    if (vertices.empty()) return;
    Vector3 low = vertices.front().position;
    Vector3 high = low;
    for (const FrameVertex& v : vertices) {
        low = {std::min(low.x, v.position.x), std::min(low.y, v.position.y), std::min(low.z, v.position.z)};
        high = {std::max(high.x, v.position.x), std::max(high.y, v.position.y), std::max(high.z, v.position.z)};
    }
    std::cout << "  bounding box of frame 0: (" << low.x << ", " << low.y << ", " << low.z << ") to (" << high.x
              << ", " << high.y << ", " << high.z << ")\n";
}

void printCommands(const std::vector<DrawCommand>& commands, std::int32_t vertexCount) {
    std::size_t strips = 0;
    std::size_t commandVertices = 0;
    std::size_t outside = 0;
    for (const DrawCommand& command : commands) {
        if (command.type == TriangleStrip) ++strips;
        commandVertices += command.vertices.size();
        for (const CommandVertex& v : command.vertices)
            if (v.vertexIndex < 0 || v.vertexIndex >= vertexCount) ++outside;
    }
    std::cout << "  commands: " << commands.size() << " (" << strips << " strips, " << commands.size() - strips
              << " fans), " << commandVertices << " command vertices\n";
    if (outside > 0) std::cout << "  damaged: " << outside << " command vertex indices outside the vertices (skipped when drawn)\n";
}

void printSkin(const std::string& skinPath) {
    std::cout << "  skin: " << skinPath << (std::filesystem::exists(skinPath) ? "" : " (missing)") << '\n';
}

}  // namespace

int dumpVertexModel(const std::string& path) {
    std::string reason;
    const auto model = readVertexModel(path, &reason, ImageLoading::Skip);
    if (!model) return fail(path, reason);
    Json frames = Json::array();
    for (const ModelFrame& frame : model->frames) frames.push_back(frameJson(frame.name, frame.vertices));
    Json out;
    out["type"] = "qv1";
    out["nameHash"] = model->nameHash;
    out["vertexCount"] = model->vertexCount;
    out["frames"] = std::move(frames);
    out["commands"] = commandsJson(model->commands);
    printJson(out);
    return ExitOk;
}

int infoVertexModel(const std::string& path) {
    std::string reason;
    const auto model = readVertexModel(path, &reason, ImageLoading::Skip);
    if (!model) return fail(path, reason);
    std::vector<std::string> names;
    for (const ModelFrame& frame : model->frames) names.push_back(frame.name);
    std::cout << path << ": vertex model\n"
              << "  vertices: " << model->vertexCount << '\n'
              << "  frames: " << model->frames.size() << " (" << static_cast<float>(model->frames.size()) / 15.0f
              << " s at 15 fps)\n";
    printAnimations(names);
    printCommands(model->commands, model->vertexCount);
    if (!model->frames.empty()) printBox(model->frames.front().vertices);
    printSkin(vertexSkinPath(path));
    return ExitOk;
}

int dumpMd2(const std::string& path) {
    std::string reason;
    const auto md2 = readMd2(path, &reason);
    if (!md2) return fail(path, reason);
    Json header = Json::array();
    for (const std::int32_t value : md2->header) header.push_back(value);
    Json frames = Json::array();
    for (const Md2Frame& frame : md2->frames) frames.push_back(frameJson(md2FrameName(frame), frame.vertices));
    Json out;
    out["type"] = "md2";
    out["header"] = std::move(header);
    out["skinPath"] = jsonBytes(md2->skinPath);
    out["frames"] = std::move(frames);
    out["commands"] = commandsJson(md2->commands);
    printJson(out);
    return ExitOk;
}

int infoMd2(const std::string& path) {
    std::string reason;
    const auto md2 = readMd2(path, &reason);
    if (!md2) return fail(path, reason);
    std::vector<std::string> names;
    for (const Md2Frame& frame : md2->frames) names.push_back(md2FrameName(frame));
    const std::int32_t vertexCount = md2->header[Md2VertexCount];
    std::cout << path << ": MD2 model (version 8)\n"
              << "  vertices: " << vertexCount << '\n'
              << "  frames: " << md2->frames.size() << " (" << static_cast<float>(md2->frames.size()) / 15.0f
              << " s at 15 fps)\n";
    printAnimations(names);
    printCommands(md2->commands, vertexCount);
    if (!md2->frames.empty()) printBox(md2->frames.front().vertices);
    printSkin(md2->skinPath);
    return ExitOk;
}

}  // namespace qx::tool
