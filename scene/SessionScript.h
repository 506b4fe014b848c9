#pragma once
// A window's session written as a shell script for qxtool: `qxtool animate` (skeletal mesh and
// its motions) or `qxtool play` (vertex model) fed, on standard input, the very steps a seek
// replays (forEachReplayStep) up to a time, then `dump`. Run on the same files it prints the
// pose the window shows paused at that time, which is how a wrong pose is reported and how the
// viewer and qxtool are held to each other.

#include <string>
#include <vector>

#include "scene/PlaySession.h"

namespace qx {

struct SessionFiles {
    std::string model;                 // the model's file as the window read it
    std::vector<std::string> motions;  // the motions' files, in the model's order
};

// The script for a session of an instance of the given kind (core/ModelKind.h) replayed to
// time. The qxtool run is the one named by the QXTOOL environment variable, else the one found
// on the PATH.
std::string sessionScript(int kind, const SessionFiles& files, const std::vector<SessionEvent>& events, double time);

}  // namespace qx
