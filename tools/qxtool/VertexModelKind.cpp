// The ".qv1" vertex model kind: dumped whole, summarised, and drawn by render as a vertex model.

#include <iostream>
#include <string>
#include <vector>

#include "scene/OpenFile.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/VertexJson.h"
#include "tools/qxtool/VertexSummary.h"
#include "vertex/VertexModelFile.h"

namespace qx::tool {

namespace {

int dump(const std::string& path) {
    std::string reason;
    const auto model = readStored<VertexModel>(path, &reason);
    if (!model) return fail(path, reason);
    Json frames = Json::array();
    for (const ModelFrame& frame : model->frames) frames.push_back(frameJson(frame.name, frame.vertices));
    Json out;
    out["type"] = extensionOf(VertexModelKind.type);
    out["nameHash"] = model->nameHash;
    out["vertexCount"] = model->vertexCount;
    out["frames"] = std::move(frames);
    out["commands"] = commandsJson(model->commands);
    printJson(out);
    return ExitOk;
}

int info(const std::string& path) {
    std::string reason;
    const auto model = readStored<VertexModel>(path, &reason);
    if (!model) return fail(path, reason);
    VertexSummary summary;
    summary.vertexCount = model->vertexCount;
    for (const ModelFrame& frame : model->frames) summary.frameNames.push_back(frame.name);
    summary.commands = &model->commands;
    if (!model->frames.empty()) summary.firstFrame = &model->frames.front().vertices;
    summary.skinPath = vertexSkinPath(path);
    std::cout << path << ": vertex model\n";
    printVertexSummary(summary);
    return ExitOk;
}

}  // namespace

const FileKind VertexModelKind{FileType::VertexModel, &dump, &info};

}  // namespace qx::tool
