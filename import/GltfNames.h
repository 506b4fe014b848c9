#pragma once
// Names between glTF's UTF-8 text and the program's byte strings: the export's rule backwards.
// U+0000-U+00FF becomes the byte it came from; any other character (and any byte that is not
// well-formed UTF-8) becomes '?', counted so that the caller can say so.

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace qx {

std::string bytesOfText(const std::string& text, std::size_t& replaced);

// A name as part of a file name: letters, digits, '-', '_' and '.' kept, anything else '_';
// fallback when nothing is left.
std::string safeFileName(const std::string& bytes, const std::string& fallback);

// name, or name with " 2", " 3" ... appended, whichever is not yet in used; then added to used.
std::string uniqueName(const std::string& name, std::set<std::string>& used, const char* separator = " ");

// Says how many characters of names became '?', when any did.
void noteReplacedCharacters(std::size_t replaced, std::vector<std::string>& notes);

}  // namespace qx
