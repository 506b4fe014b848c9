// qxtool play: one VertexInstance on a ".qv1" model, driven by commands read from standard input.

#include <charconv>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "tools/qxtool/Command.h"
#include "tools/qxtool/Json.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/VertexJson.h"
#include "vertex/VertexInstance.h"
#include "vertex/VertexModelFile.h"

namespace qx::tool {

namespace {

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string token; in >> token;) out.push_back(token);
    return out;
}

template <typename T>
bool number(const std::string& text, T& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, out);
    return error == std::errc() && ptr == end;
}

Json stateJson(const VertexInstance& instance) {
    const std::size_t count = instance.model().vertexCount > 0 ? static_cast<std::size_t>(instance.model().vertexCount) : 0;
    Json out;
    out["current"] = instance.current();
    out["next"] = instance.next();
    out["start"] = instance.start();
    out["end"] = instance.end();
    out["fraction"] = jsonFloat(instance.fraction());
    out["elapsed"] = jsonFloat(instance.elapsed());
    out["fps"] = jsonFloat(instance.fps());
    // The drawable holds the latest update's vertices: zeros until the first.
    out["positions"] = vectorsJson(instance.drawable().positions, count);
    out["normals"] = vectorsJson(instance.drawable().normals, count);
    return out;
}

}  // namespace

CommandRun definePlay(CLI::App& sub) {
    auto model = std::make_shared<std::string>();
    sub.add_option("MODEL", *model, "A .qv1 vertex model")->required();
    return [model] {
        std::string reason;
        const auto vertexModel = readVertexModel(*model, &reason, ImageLoading::Skip);
        if (!vertexModel) return fail(*model, reason);
        auto instance = std::make_unique<VertexInstance>(*vertexModel, -1, -1, 15.0f);

        std::string line;
        for (int lineNumber = 1; std::getline(std::cin, line); ++lineNumber) {
            const std::vector<std::string> t = tokens(line);
            if (t.empty() || t[0][0] == '#') continue;
            const std::string& command = t[0];
            std::int32_t a = 0, b = 0, c = 0;
            float value = 0.0f;
            if (command == "new" && t.size() == 4 && number(t[1], a) && number(t[2], b) && number(t[3], value)) {
                instance.reset();
                instance = std::make_unique<VertexInstance>(*vertexModel, a, b, value);
            } else if (command == "range" && t.size() == 4 && number(t[1], a) && number(t[2], b) && number(t[3], c)) {
                Json out;
                out["setRange"] = instance->setRange(a, b, c);
                printJson(out);
            } else if (command == "fps" && t.size() == 2 && number(t[1], value)) {
                instance->setFps(value);
            } else if (command == "update" && t.size() == 2 && number(t[1], value)) {
                instance->update(value);
            } else if (command == "dump" && t.size() == 1) {
                printJson(stateJson(*instance));
            } else {
                return usageError("line " + std::to_string(lineNumber) + ": expected 'new FIRST LAST FPS', " +
                                  "'range FIRST LAST CURRENT', 'fps VALUE', 'update DT' or 'dump', got '" + line + "'");
            }
        }
        return ExitOk;
    };
}

}  // namespace qx::tool
