#include "tools/qxtool/MotionJson.h"

namespace qx::tool {

namespace {
Json timeValueJson(const TimeValue& tv) { return Json::array({jsonFloat(tv.time), jsonFloat(tv.value)}); }
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

}  // namespace qx::tool
