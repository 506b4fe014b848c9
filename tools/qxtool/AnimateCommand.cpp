// qxtool animate: scripted playback of motions on a skeletal mesh, through the same
// SkeletalInstance the viewer uses. The script comes from standard input, one command a line.

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "animation/SkeletalInstance.h"
#include "scene/OpenFile.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/Json.h"
#include "tools/qxtool/ParseNumber.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/ScriptReader.h"

namespace qx::tool {

namespace {

struct AnimateOptions {
    std::string mesh;
    std::vector<std::string> motions;
};

enum class Verb { Start, Stop, Update, Dump };

struct AnimateStep {
    Verb verb = Verb::Dump;
    std::uint32_t motion = 0;  // start, stop
    float numbers[6] = {};     // start: attack decay delay stopTime weight timeFactor; update: DT
};

bool parseMotion(const std::string& token, std::size_t motionCount, AnimateStep& step, std::string& reason) {
    if (parseNumber(token, step.motion) && step.motion < motionCount) return true;
    reason = "no motion " + token + " (" + std::to_string(motionCount) + " given)";
    return false;
}

bool parseStep(const std::vector<std::string>& tokens, std::size_t motionCount, AnimateStep& step,
               std::string& reason) {
    const std::string& verb = tokens[0];
    if (verb == "start") {
        step.verb = Verb::Start;
        if (tokens.size() != 8) {
            reason = "expected 'start I attack decay delay stopTime weight timeFactor'";
            return false;
        }
        if (!parseMotion(tokens[1], motionCount, step, reason)) return false;
        for (int i = 0; i < 6; ++i) {
            if (!parseNumber(tokens[2 + i], step.numbers[i])) {
                reason = "'" + tokens[2 + i] + "' is not a number";
                return false;
            }
        }
        return true;
    }
    if (verb == "stop") {
        step.verb = Verb::Stop;
        if (tokens.size() != 2) {
            reason = "expected 'stop I'";
            return false;
        }
        return parseMotion(tokens[1], motionCount, step, reason);
    }
    if (verb == "update") {
        step.verb = Verb::Update;
        if (tokens.size() != 2 || !parseNumber(tokens[1], step.numbers[0])) {
            reason = "expected 'update DT' with DT a number of seconds";
            return false;
        }
        return true;
    }
    if (verb == "dump") {
        step.verb = Verb::Dump;
        if (tokens.size() != 1) {
            reason = "'dump' takes nothing after it";
            return false;
        }
        return true;
    }
    reason = "unknown command '" + verb + "'";
    return false;
}

std::int32_t motionIndex(const SkeletalInstance& instance, const MotionSampler* sampler) {
    const auto& samplers = instance.samplers();
    for (std::size_t i = 0; i < samplers.size(); ++i)
        if (samplers[i].get() == sampler) return static_cast<std::int32_t>(i);
    return -1;
}

template <typename Instances>
Json jsonInstances(const SkeletalInstance& instance, const Instances& list) {
    Json out = Json::array();
    for (const auto& playing : list) {
        Json entry;
        entry["motion"] = motionIndex(instance, playing.sampler);
        entry["state"] = static_cast<std::int32_t>(playing.state);
        entry["time"] = jsonFloat(playing.time);
        entry["envelope"] = jsonFloat(playing.envelope());
        out.push_back(std::move(entry));
    }
    return out;
}

// Before the first update: the rest mesh and identity locals.
Json jsonState(const SkeletalInstance& instance, const SkeletalMesh& mesh, const SkeletalDrawable* drawn) {
    Json out;
    out["cycleLength"] = jsonFloat(instance.cycleLength());
    out["cyclePhase"] = jsonFloat(instance.cyclePhase());
    out["cycles"] = jsonInstances(instance, instance.cycles());
    out["overlays"] = jsonInstances(instance, instance.overlays());
    Json locals = Json::array();
    for (std::size_t b = 0; b < mesh.bones.size(); ++b)
        locals.push_back(jsonMatrix(drawn != nullptr ? drawn->bones[b].local : Matrix::identity()));
    out["locals"] = std::move(locals);
    out["positions"] = jsonVectors(drawn != nullptr ? drawn->positions : mesh.positions);
    out["normals"] = jsonVectors(drawn != nullptr ? drawn->normals : mesh.normals);
    return out;
}

}  // namespace

CommandRun defineAnimate(CLI::App& sub) {
    auto options = std::make_shared<AnimateOptions>();
    sub.add_option("MESH", options->mesh, "A .qm1 skeletal mesh, or a .ply converted in memory")->required();
    sub.add_option("MOTION", options->motions,
                   "Motions (.qm2, or .kfm converted in memory), numbered from 0 in this order");
    sub.footer(
        "Commands on standard input, one a line ('#' starts a comment):\n"
        "  start I attack decay delay stopTime weight timeFactor\n"
        "  stop I\n"
        "  update DT\n"
        "  dump");
    return [options] {
        std::string reason;
        // The script's numbers do not need the pictures: no image is read, no GL is touched.
        auto mesh = readMeshToShow(options->mesh, &reason, ImageLoading::Skip);
        if (!mesh) return fail(options->mesh, reason);
        const SkeletalMesh& rest = *mesh;
        SkeletalModel model;
        model.addMesh(std::move(mesh));
        std::vector<std::int32_t> ids;
        for (const std::string& path : options->motions) {
            auto motion = readMotionToPlay(path, &reason);
            if (!motion) return fail(path, reason);
            ids.push_back(motion->nameHash);
            model.addMotion(std::move(motion));
        }

        std::vector<AnimateStep> script;
        std::string error;
        const auto parse = [&](const ScriptLine& line, std::string& why) {
            AnimateStep step;
            if (!parseStep(line.tokens, ids.size(), step, why)) return false;
            script.push_back(step);
            return true;
        };
        if (!readScript(std::cin, parse, error)) return usageError(error);

        SkeletalInstance instance(model);
        const SkeletalDrawable* drawn = nullptr;
        for (const AnimateStep& step : script) {
            switch (step.verb) {
                case Verb::Start: {
                    MotionSettings settings;
                    settings.attackLength = step.numbers[0];
                    settings.decayLength = step.numbers[1];
                    settings.delay = step.numbers[2];
                    settings.stopTime = step.numbers[3];
                    settings.weight = step.numbers[4];
                    settings.timeFactor = step.numbers[5];
                    settings.motionId = ids[step.motion];
                    instance.start(settings);
                    break;
                }
                case Verb::Stop:
                    instance.stop(ids[step.motion]);
                    break;
                case Verb::Update:
                    drawn = instance.update(step.numbers[0]);
                    break;
                case Verb::Dump:
                    printJson(jsonState(instance, rest, drawn));
                    break;
            }
        }
        return ExitOk;
    };
}

}  // namespace qx::tool
