#pragma once
// What a child window shows, and what its tree's items stand for: a skeletal mesh or a vertex
// model document (each owning its model), or the record of a motion loaded into a skeletal
// mesh document.

#include <string>

namespace qx::app {

class CBaseDoc {
public:
    // The kinds, as the tree and the forms tell them apart.
    static constexpr int VertexModelKind = 0;
    static constexpr int SkeletalMotionKind = 1;
    static constexpr int SkeletalMeshKind = 2;

    virtual ~CBaseDoc() = default;
    CBaseDoc(const CBaseDoc&) = delete;
    CBaseDoc& operator=(const CBaseDoc&) = delete;

    int kind() const { return kind_; }
    // The full path of the file it was read from.
    const std::string& pathName() const { return pathName_; }
    // The file name without its folder.
    std::string title() const;

protected:
    CBaseDoc(int kind, std::string pathName) : kind_(kind), pathName_(std::move(pathName)) {}

private:
    int kind_;
    std::string pathName_;
};

}  // namespace qx::app
