#pragma once
// Where a reader stands in a file, and what went wrong there. Every reader keeps one beside its
// ByteReader, says where it is as it goes, and on failure leaves the text the edges show:
// "faces (face 12): mapping count -2 is negative", "track 3: truncated in channel 2 key 5".
//
// Every reader has the same shape. One function per record,
//     bool readTrack(ByteReader& in, MotionTrack& track, ReadProblem& problem);
// returns false after saying what failed (`return problem.failHere("truncated basis");`); the
// file's own reader says where it stands before each record (`problem.at("track", t)`). The
// public pair, parseX(data, size, reason) and readX(path, reason), pass that reader to readWith
// and readFileWith (core/ReadWith.h), which make the ByteReader and the ReadProblem, call it,
// and hand the text to the edge with report(). The motion reader,
// skeletal/SkeletalMotionFile.cpp, is the smallest whole example.

#include <cstdint>
#include <string>

namespace qx {

class ReadProblem {
public:
    // How at() names an element beside its section. Inside is the rule; After and Leading keep
    // the words the A:M PLY reader's messages have always had.
    enum class Naming {
        Inside,   // "faces (face 12)"
        After,    // "section 7 (bones) at bone 4"
        Leading,  // ahead of every text: "patch 3: truncated in section 6 (patches)"
    };

    // A section of the file ("faces"), with no element of it yet.
    void enter(const char* section);
    // An element of the section, or of the file where it has no sections ("track", 3).
    void at(const char* element, std::int32_t index, Naming naming = Naming::Inside);
    // A part of that element ("batch", 0).
    void atPart(const char* part, std::int32_t index);
    // "faces", "faces (face 12)", "renderGroups (group 1 batch 0)", "track 3", or "". A Leading
    // element is no part of it.
    std::string place() const;

    // Each records the failure and returns false, so that a reader can end on
    // `return problem.truncated();`. Each text follows a Leading element's "<element>: ".
    bool fail(std::string text);                  // the text as it stands
    bool failHere(const std::string& text);       // "<place>: <text>"
    bool truncated();                             // "truncated in <place>"
    bool truncatedHere(const std::string& text);  // "truncated in <place>: <text>"

    const std::string& text() const { return text_; }
    // Hands the text to the edge, where one asks for it.
    void report(std::string* reason) const;

private:
    std::string element() const;  // "face 12", "group 1 batch 0"

    const char* section_ = "";
    const char* element_ = nullptr;
    std::int32_t index_ = 0;
    Naming naming_ = Naming::Inside;
    const char* part_ = nullptr;
    std::int32_t partIndex_ = 0;
    std::string text_;
};

}  // namespace qx
