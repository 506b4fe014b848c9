#include "tools/qxtool/VertexSummary.h"

#include <cctype>
#include <filesystem>
#include <iostream>

#include "tools/qxtool/TextSummary.h"

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
    std::vector<Vector3> positions;
    for (const FrameVertex& v : vertices) positions.push_back(v.position);
    std::cout << "  bounding box of frame 0: " << boxAround(positions) << '\n';
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
    if (outside > 0)
        std::cout << "  damaged: " << outside << " command vertex indices outside the vertices (skipped when drawn)\n";
}

void printSkin(const std::string& skinPath) {
    std::cout << "  skin: " << skinPath << (std::filesystem::exists(skinPath) ? "" : " (missing)") << '\n';
}

}  // namespace

void printVertexSummary(const VertexSummary& summary) {
    const std::size_t frames = summary.frameNames.size();
    std::cout << "  vertices: " << summary.vertexCount << '\n'
              << "  frames: " << frames << " (" << static_cast<float>(frames) / 15.0f << " s at 15 fps)\n";
    printAnimations(summary.frameNames);
    printCommands(*summary.commands, summary.vertexCount);
    if (summary.firstFrame != nullptr) printBox(*summary.firstFrame);
    printSkin(summary.skinPath);
}

}  // namespace qx::tool
