// The MD2 model kind: dumped as stored (header, frames, commands), summarised, and drawn by
// render as the vertex model it converts to.

#include <iostream>
#include <string>
#include <vector>

#include "scene/OpenFile.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/VertexJson.h"
#include "tools/qxtool/VertexSummary.h"

namespace qx::tool {

namespace {

int dump(const std::string& path) {
    std::string reason;
    const auto md2 = readStored<Md2Model>(path, &reason);
    if (!md2) return fail(path, reason);
    Json header = Json::array();
    for (const std::int32_t value : md2->header) header.push_back(value);
    Json frames = Json::array();
    for (const Md2Frame& frame : md2->frames) frames.push_back(frameJson(md2FrameName(frame), frame.vertices));
    Json out;
    out["type"] = extensionOf(Md2Kind.type);
    out["header"] = std::move(header);
    out["skinPath"] = jsonBytes(md2->skinPath);
    out["frames"] = std::move(frames);
    out["commands"] = commandsJson(md2->commands);
    printJson(out);
    return ExitOk;
}

int info(const std::string& path) {
    std::string reason;
    const auto md2 = readStored<Md2Model>(path, &reason);
    if (!md2) return fail(path, reason);
    VertexSummary summary;
    summary.vertexCount = md2->header[Md2VertexCount];
    for (const Md2Frame& frame : md2->frames) summary.frameNames.push_back(md2FrameName(frame));
    summary.commands = &md2->commands;
    if (!md2->frames.empty()) summary.firstFrame = &md2->frames.front().vertices;
    summary.skinPath = md2->skinPath;
    std::cout << path << ": MD2 model (version 8)\n";
    printVertexSummary(summary);
    return ExitOk;
}

}  // namespace

const FileKind Md2Kind{FileType::Md2Model, &dump, &info};

}  // namespace qx::tool
