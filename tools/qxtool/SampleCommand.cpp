#include <memory>
#include <string>
#include <vector>

#include "animation/MotionSampler.h"
#include "scene/OpenFile.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/Json.h"
#include "tools/qxtool/ParseNumber.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

namespace {
struct SampleOptions {
    std::string motion;
    std::vector<std::string> times;  // read as script numbers are
};
}  // namespace

CommandRun defineSample(CLI::App& sub) {
    auto options = std::make_shared<SampleOptions>();
    sub.add_option("MOTION", options->motion, "A .qm2 motion, or a .kfm converted in memory")->required();
    sub.add_option("TIME", options->times, "Times in seconds, evaluated in this order")->required();
    return [options] {
        std::vector<float> times;
        for (const std::string& text : options->times) {
            float t = 0.0f;
            if (!parseNumber(text, t))
                return usageError("TIME expects seconds as a plain decimal number, not '" + text + "'");
            times.push_back(t);
        }
        std::string reason;
        const auto motion = readMotionToPlay(options->motion, &reason);
        if (!motion) return fail(options->motion, reason);
        // One sampler for all times, so that the channel cursors carry over between them.
        MotionSampler sampler(*motion);
        Json samples = Json::array();
        for (const float t : times) {
            Json poses = Json::array();
            for (TrackSampler& track : sampler.tracks) {
                const Pose pose = sampleTrack(track, t);
                Json p;
                p["track"] = jsonBytes(track.track->name);
                p["translation"] = jsonVector(pose.translation);
                p["scale"] = jsonVector(pose.scale);
                p["rotation"] = jsonQuaternion(pose.rotation);
                poses.push_back(std::move(p));
            }
            Json sample;
            sample["time"] = jsonFloat(t);
            sample["poses"] = std::move(poses);
            samples.push_back(std::move(sample));
        }
        Json out;
        out["samples"] = std::move(samples);
        printJson(out);
        return ExitOk;
    };
}

}  // namespace qx::tool
