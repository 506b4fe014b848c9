#pragma once
// The conversion pipelines of qxtool convert, one per source kind. Each reads source, converts
// and writes destination atomically (an existing destination survives any failure), and returns
// the exit status, reporting its own failure against the file at fault as the file kinds do.
// None needs a GL context or an image file.

#include <string>

namespace qx::tool {

using ConvertFunction = int (*)(const std::string& source, const std::string& destination);

struct Converter {
    const char* from;  // source extension, lower case, without the dot
    const char* to;    // destination extension
    ConvertFunction convert;
};

int convertMd2(const std::string& source, const std::string& destination);
int convertPly(const std::string& source, const std::string& destination);
int convertKfm(const std::string& source, const std::string& destination);

}  // namespace qx::tool
