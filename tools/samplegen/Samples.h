#pragma once
// The sample generators: each writes its model (and its skin) into folder, false with a reason
// when a file could not be written. Their output is committed under samples/, so every one of
// them must give the same bytes on every run.

#include <string>

namespace qx::samples {

// flag.qv1 with its skin flag.bmp: a flag on a pole with three animations.
bool writeVertexSample(const std::string& folder, std::string* reason);

// figure.qm1 with its shirt figure-shirt.bmp and the motions figure-walk.qm2, figure-idle.qm2
// (cycles) and figure-wave.qm2 (an overlay): a jointed figure of 17 bones.
bool writeSkeletalSample(const std::string& folder, std::string* reason);

}  // namespace qx::samples
