// qxtool play: one VertexInstance on a ".qv1" model, driven by commands read from standard input.

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "scene/OpenFile.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/Json.h"
#include "tools/qxtool/ParseNumber.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/ScriptReader.h"
#include "tools/qxtool/VertexJson.h"
#include "vertex/VertexInstance.h"

namespace qx::tool {

namespace {

enum class Verb { New, Range, Fps, Update, Dump };

struct PlayStep {
    Verb verb = Verb::Dump;
    std::int32_t first = 0;    // new, range
    std::int32_t last = 0;     // new, range
    std::int32_t current = 0;  // range
    float value = 0.0f;        // new: FPS; fps: VALUE; update: DT
};

bool parseStep(const std::vector<std::string>& t, PlayStep& step) {
    const std::string& verb = t[0];
    if (verb == "new") {
        step.verb = Verb::New;
        return t.size() == 4 && parseNumber(t[1], step.first) && parseNumber(t[2], step.last) &&
               parseNumber(t[3], step.value);
    }
    if (verb == "range") {
        step.verb = Verb::Range;
        return t.size() == 4 && parseNumber(t[1], step.first) && parseNumber(t[2], step.last) &&
               parseNumber(t[3], step.current);
    }
    if (verb == "fps" || verb == "update") {
        step.verb = verb == "fps" ? Verb::Fps : Verb::Update;
        return t.size() == 2 && parseNumber(t[1], step.value);
    }
    step.verb = Verb::Dump;
    return verb == "dump" && t.size() == 1;
}

Json stateJson(const VertexInstance& instance) {
    const std::size_t count = vertexCountOf(instance.model());
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
    sub.add_option("MODEL", *model, "A .qv1 vertex model, or a .md2 converted in memory")->required();
    return [model] {
        std::string reason;
        const auto vertexModel = readVertexModelToShow(*model, &reason, ImageLoading::Skip);
        if (!vertexModel) return fail(*model, reason);

        std::vector<PlayStep> script;
        std::string error;
        const auto parse = [&script](const ScriptLine& line, std::string& why) {
            PlayStep step;
            if (!parseStep(line.tokens, step)) {
                why =
                    "expected 'new FIRST LAST FPS', 'range FIRST LAST CURRENT', 'fps VALUE', 'update DT' or "
                    "'dump', got '" +
                    line.text + "'";
                return false;
            }
            script.push_back(step);
            return true;
        };
        if (!readScript(std::cin, parse, error)) return usageError(error);

        auto instance = std::make_unique<VertexInstance>(*vertexModel, -1, -1, 15.0f);
        for (const PlayStep& step : script) {
            switch (step.verb) {
                case Verb::New:
                    // The old instance goes before the new one is built, as when a view replaces it.
                    instance.reset();
                    instance = std::make_unique<VertexInstance>(*vertexModel, step.first, step.last, step.value);
                    break;
                case Verb::Range: {
                    Json out;
                    out["setRange"] = instance->setRange(step.first, step.last, step.current);
                    printJson(out);
                    break;
                }
                case Verb::Fps:
                    instance->setFps(step.value);
                    break;
                case Verb::Update:
                    instance->update(step.value);
                    break;
                case Verb::Dump:
                    printJson(stateJson(*instance));
                    break;
            }
        }
        return ExitOk;
    };
}

}  // namespace qx::tool
