#pragma once
// What the program tells from a file's name: its kind, by extension, whatever the case the
// name is written in ("WALK.QM2" is a motion like "walk.qm2").

#include <string>

namespace qx {

// The extension of path without its dot, lower case ("" when there is none; a dot in a folder
// name is not an extension).
std::string lowerExtension(const std::string& path);

}  // namespace qx
