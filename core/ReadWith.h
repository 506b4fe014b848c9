#pragma once
// The public pair every reader has (see core/ReadProblem.h), written once: parseX(data, size,
// reason) is readWith over those bytes, readX(path, reason) is readFileWith. What a reader does
// once its object is read (naming it after the path, loading images) stays with the reader.

#include <memory>
#include <string>

#include "core/ByteReader.h"
#include "core/FileBytes.h"
#include "core/ReadProblem.h"

namespace qx {

// A new T read by the file's own record reader; none, with the problem's text in reason, when
// the bytes are refused.
template <typename T>
std::unique_ptr<T> readWith(ByteReader in, bool (*read)(ByteReader&, T&, ReadProblem&), std::string* reason) {
    auto object = std::make_unique<T>();
    ReadProblem problem;
    if (read(in, *object, problem)) return object;
    problem.report(reason);
    return nullptr;
}

// The same over the file at path, read whole first. The bytes live only while they are read:
// a reader copies out all it keeps, and one that calls releaseRead() gives back their memory as
// it goes.
template <typename T>
std::unique_ptr<T> readFileWith(const std::string& path, bool (*read)(ByteReader&, T&, ReadProblem&),
                                std::string* reason) {
    FileBytes bytes;
    if (!readFileBytes(path, bytes, reason)) return nullptr;
    return readWith(ByteReader(bytes), read, reason);
}

}  // namespace qx
