#include "tools/qxtool/MotionJson.h"

#include <iostream>

#include "skeletal/SkeletalMotionFile.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

namespace {
Json timeValueJson(const TimeValue& tv) { return Json::array({jsonFloat(tv.time), jsonFloat(tv.value)}); }

std::size_t keyCount(const SkeletalMotion& motion) {
    std::size_t keys = 0;
    for (const auto& track : motion.tracks)
        for (const auto& channel : track.channels) keys += channel.keys.size();
    return keys;
}
}  // namespace

Json trackJson(const MotionTrack& track) {
    Json channels = Json::array();
    for (const MotionChannel& channel : track.channels) {
        Json keys = Json::array();
        for (const MotionKey& key : channel.keys) {
            Json k;
            k["time"] = jsonFloat(key.time);
            k["value"] = jsonFloat(key.value);
            k["flags"] = static_cast<unsigned>(key.flags);
            k["outHandle"] = timeValueJson(key.outHandle);
            k["inHandle"] = timeValueJson(key.inHandle);
            keys.push_back(std::move(k));
        }
        channels.push_back(std::move(keys));
    }
    Json out;
    out["name"] = jsonBytes(track.name);
    out["nameHash"] = track.nameHash;
    out["basisX"] = jsonVector(track.basisX);
    out["basisY"] = jsonVector(track.basisY);
    out["basisZ"] = jsonVector(track.basisZ);
    out["channels"] = std::move(channels);
    return out;
}

Json tracksJson(const std::vector<MotionTrack>& tracks) {
    Json out = Json::array();
    for (const auto& track : tracks) out.push_back(trackJson(track));
    return out;
}

int dumpMotion(const std::string& path) {
    std::string reason;
    const auto motion = readSkeletalMotion(path, &reason);
    if (!motion) return fail(path, reason);
    Json out;
    out["type"] = "qm2";
    out["animationType"] = motion->animationType;
    out["attackLength"] = jsonFloat(motion->attackLength);
    out["decayLength"] = jsonFloat(motion->decayLength);
    out["duration"] = jsonFloat(motion->duration);
    out["nameHash"] = motion->nameHash;
    out["tracks"] = tracksJson(motion->tracks);
    printJson(out);
    return ExitOk;
}

int infoMotion(const std::string& path) {
    std::string reason;
    const auto motion = readSkeletalMotion(path, &reason);
    if (!motion) return fail(path, reason);
    const char* type = motion->animationType == CycleAnimation     ? "cycle"
                       : motion->animationType == OverlayAnimation ? "overlay"
                                                                   : "never plays";
    std::cout << path << ": skeletal motion\n"
              << "  tracks: " << motion->tracks.size() << '\n'
              << "  keys: " << keyCount(*motion) << '\n'
              << "  duration: " << motion->duration << " s\n"
              << "  animation type: " << motion->animationType << " (" << type << ")\n"
              << "  attack: " << motion->attackLength << " s, decay: " << motion->decayLength << " s\n";
    return ExitOk;
}

}  // namespace qx::tool
