#include "tools/qxtool/VertexSummary.h"

#include <filesystem>
#include <iostream>

#include "tools/qxtool/TextSummary.h"
#include "vertex/FrameClips.h"

namespace qx::tool {

namespace {

void printAnimations(const std::vector<std::string>& names) {
    std::cout << "  animations:";
    for (const FrameClip& clip : frameClips(names))
        std::cout << ' ' << (clip.name.empty() ? "(unnamed)" : clip.name) << ' ' << clip.first << '-' << clip.last - 1;
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
