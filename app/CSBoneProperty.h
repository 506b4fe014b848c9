#pragma once
// The read-only form of a bone of a skeletal mesh: its index, name and parent, its rest start,
// end and roll, how many positions it moves, and where its start is now in the pose shown.

#include <QLabel>
#include <QWidget>

#include "skeletal/SkeletalMesh.h"

namespace qx {
class SkeletalDrawable;
}

namespace qx::app {

class CSBoneProperty : public QWidget {
    Q_OBJECT
public:
    explicit CSBoneProperty(QWidget* parent = nullptr);

    // Shows bone index of mesh (an index outside its bones shows nothing) and, with a posed
    // drawable of the mesh, where its start is now.
    void showBone(const SkeletalMesh& mesh, int index, const SkeletalDrawable* posed);
    int bone() const { return bone_; }

private:
    QLabel* value(const char* name, const QString& label);

    int bone_ = -1;
    QLabel* index_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* parent_ = nullptr;
    QLabel* start_ = nullptr;
    QLabel* end_ = nullptr;
    QLabel* roll_ = nullptr;
    QLabel* attached_ = nullptr;
    QLabel* startNow_ = nullptr;
};

// "x, y, z", each coordinate with three decimals.
QString pointText(const Vector3& point);

}  // namespace qx::app
