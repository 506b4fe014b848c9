#include "scene/SessionScript.h"

#include <cstdio>

#include "core/ModelKind.h"

namespace qx {

namespace {

// Single-quoted for the shell: every byte stands for itself but the quote, which is closed,
// escaped and reopened.
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Nine significant digits read back as the same float.
std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string eventLine(const SessionEvent& event) {
    using Kind = SessionEvent::Kind;
    const MotionSettings& s = event.settings;
    switch (event.kind) {
        case Kind::Start:
            return "start " + std::to_string(event.motion) + ' ' + number(s.attackLength) + ' ' +
                   number(s.decayLength) + ' ' + number(s.delay) + ' ' + number(s.stopTime) + ' ' + number(s.weight) +
                   ' ' + number(s.timeFactor);
        case Kind::Stop:
            return "stop " + std::to_string(event.motion);
        case Kind::Range:
            return "range " + std::to_string(event.first) + ' ' + std::to_string(event.last) + " -1";
        case Kind::Rate:
            return "fps " + number(event.fps);
    }
    return {};
}

}  // namespace

std::string sessionScript(int kind, const SessionFiles& files, const std::vector<SessionEvent>& events, double time) {
    const bool skeletal = kind == SkeletalKind;
    char at[64];
    std::snprintf(at, sizeof at, "%.3f", time);
    std::string out = "#!/bin/sh\n";
    out += "# A qxmodelview session replayed to " + std::string(at) +
           " s; prints the pose shown there as JSON.\n"
           "# Set QXTOOL to the qxtool to run (default: the one on the PATH).\n";
    out += "exec \"${QXTOOL:-qxtool}\" " + std::string(skeletal ? "animate " : "play ") + quoted(files.model);
    if (skeletal)
        for (const std::string& motion : files.motions) out += ' ' + quoted(motion);
    out += " <<'SESSION'\n";
    forEachReplayStep(kind, events, time, [&](const ReplayStep& step) {
        out += step.event != nullptr ? eventLine(*step.event) : "update " + number(step.dt);
        out += '\n';
    });
    out += "dump\nSESSION\n";
    return out;
}

}  // namespace qx
