#pragma once
// The sample generators: each writes its model (and its skin) into folder, false with a reason
// when a file could not be written. Their output is committed under samples/, so every one of
// them must give the same bytes on every run.

#include <string>

namespace qx::samples {

// flag.qv1 with its skin flag.bmp: a flag on a pole with three animations.
bool writeVertexSample(const std::string& folder, std::string* reason);

}  // namespace qx::samples
