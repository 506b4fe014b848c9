// qxtool animate: scripted playback of motions on a skeletal mesh, through the same
// SkeletalInstance the viewer uses. The script comes from standard input, one command a line.

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "animation/SkeletalInstance.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/Json.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

namespace {

struct AnimateOptions {
    std::string mesh;
    std::vector<std::string> motions;
};

enum class Verb { Start, Stop, Update, Dump };

struct ScriptLine {
    Verb verb = Verb::Dump;
    std::int32_t motion = 0;  // start, stop
    float numbers[6] = {};    // start: attack decay delay stopTime weight timeFactor; update: DT
};

bool parseFloat(const std::string& token, float& out) {
    if (token.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(token.c_str(), &end);
    // Out of float range is refused rather than silently turned into infinity or 0.
    if (end != token.c_str() + token.size() || errno == ERANGE) return false;
    out = value;
    return true;
}

bool parseIndex(const std::string& token, std::size_t count, std::int32_t& out) {
    if (token.empty() || token[0] == '-' || token[0] == '+') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(token.c_str(), &end, 10);
    if (end != token.c_str() + token.size() || errno == ERANGE || value >= count) return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

// Reads one non-empty, non-comment line. False with the reason when it is malformed.
bool parseLine(const std::vector<std::string>& tokens, std::size_t motionCount, ScriptLine& line, std::string& reason) {
    const std::string& verb = tokens[0];
    if (verb == "start") {
        line.verb = Verb::Start;
        if (tokens.size() != 8) {
            reason = "expected 'start I attack decay delay stopTime weight timeFactor'";
            return false;
        }
        if (!parseIndex(tokens[1], motionCount, line.motion)) {
            reason = "no motion " + tokens[1] + " (" + std::to_string(motionCount) + " given)";
            return false;
        }
        for (int i = 0; i < 6; ++i) {
            if (!parseFloat(tokens[2 + i], line.numbers[i])) {
                reason = "'" + tokens[2 + i] + "' is not a number";
                return false;
            }
        }
        return true;
    }
    if (verb == "stop") {
        line.verb = Verb::Stop;
        if (tokens.size() != 2) {
            reason = "expected 'stop I'";
            return false;
        }
        if (!parseIndex(tokens[1], motionCount, line.motion)) {
            reason = "no motion " + tokens[1] + " (" + std::to_string(motionCount) + " given)";
            return false;
        }
        return true;
    }
    if (verb == "update") {
        line.verb = Verb::Update;
        if (tokens.size() != 2 || !parseFloat(tokens[1], line.numbers[0])) {
            reason = "expected 'update DT' with DT a number of seconds";
            return false;
        }
        return true;
    }
    if (verb == "dump") {
        line.verb = Verb::Dump;
        if (tokens.size() != 1) {
            reason = "'dump' takes nothing after it";
            return false;
        }
        return true;
    }
    reason = "unknown command '" + verb + "'";
    return false;
}

std::vector<std::string> tokensOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> tokens;
    std::string token;
    while (in >> token) tokens.push_back(token);
    return tokens;
}

// The whole script is checked before anything runs: a malformed one prints nothing.
bool readScript(std::istream& in, std::size_t motionCount, std::vector<ScriptLine>& script, std::string& error) {
    std::string text;
    for (std::size_t number = 1; std::getline(in, text); ++number) {
        const std::vector<std::string> tokens = tokensOf(text);
        if (tokens.empty() || tokens[0][0] == '#') continue;
        ScriptLine line;
        std::string reason;
        if (!parseLine(tokens, motionCount, line, reason)) {
            error = "line " + std::to_string(number) + ": " + reason;
            return false;
        }
        script.push_back(line);
    }
    return true;
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
    sub.add_option("MESH", options->mesh, "A .qm1 skeletal mesh")->required();
    sub.add_option("MOTION", options->motions, "Motions (.qm2), numbered from 0 in this order");
    sub.footer(
        "Commands on standard input, one a line ('#' starts a comment):\n"
        "  start I attack decay delay stopTime weight timeFactor\n"
        "  stop I\n"
        "  update DT\n"
        "  dump");
    return [options] {
        std::string reason;
        // The script's numbers do not need the pictures: no image is read, no GL is touched.
        auto mesh = readSkeletalMesh(options->mesh, &reason, ImageLoading::Skip);
        if (!mesh) return fail(options->mesh, reason);
        const SkeletalMesh& rest = *mesh;
        SkeletalModel model;
        model.addMesh(std::move(mesh));
        std::vector<std::int32_t> ids;
        for (const std::string& path : options->motions) {
            auto motion = readSkeletalMotion(path, &reason);
            if (!motion) return fail(path, reason);
            ids.push_back(motion->nameHash);
            model.addMotion(std::move(motion));
        }

        std::vector<ScriptLine> script;
        std::string error;
        if (!readScript(std::cin, ids.size(), script, error)) return usageError(error);

        SkeletalInstance instance(model);
        const SkeletalDrawable* drawn = nullptr;
        for (const ScriptLine& line : script) {
            switch (line.verb) {
                case Verb::Start: {
                    MotionSettings settings;
                    settings.attackLength = line.numbers[0];
                    settings.decayLength = line.numbers[1];
                    settings.delay = line.numbers[2];
                    settings.stopTime = line.numbers[3];
                    settings.weight = line.numbers[4];
                    settings.timeFactor = line.numbers[5];
                    settings.motionId = ids[static_cast<std::size_t>(line.motion)];
                    instance.start(settings);
                    break;
                }
                case Verb::Stop:
                    instance.stop(ids[static_cast<std::size_t>(line.motion)]);
                    break;
                case Verb::Update:
                    drawn = instance.update(line.numbers[0]);
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
