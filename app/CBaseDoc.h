#pragma once
// What a child window shows, and what its tree's items stand for: a skeletal mesh or a vertex
// model document (each owning its model), or the record of a motion loaded into a skeletal
// mesh document. Documents announce their changes as signals; the tree, the forms and the view
// each listen to the ones they show, so that a change made anywhere reaches all of them.

#include <string>
#include <variant>

#include <QMetaType>
#include <QObject>

namespace qx::app {

class CSModelDoc;
class CSMotionDoc;
class CVModelDoc;

class CBaseDoc : public QObject {
    Q_OBJECT
public:
    ~CBaseDoc() override = default;

    // The full path of the file it was read from.
    const std::string& pathName() const { return pathName_; }
    // The file name without its folder.
    std::string title() const;

protected:
    explicit CBaseDoc(std::string pathName) : pathName_(std::move(pathName)) {}

private:
    std::string pathName_;
};

// A document of any kind, told apart by its type; none for an item that stands for no document.
using DocumentRef = std::variant<std::monostate, CSModelDoc*, CSMotionDoc*, CVModelDoc*>;

}  // namespace qx::app

Q_DECLARE_METATYPE(qx::app::DocumentRef)
