#pragma once
// The form of a vertex model: its file's full path, the frame range played (Frame Start, Frame
// End: frames start to end - 1) and the rate (Fps). Leaving a box plays what it says: the range
// from its first frame (a fraction is cut off: 2.7 plays from frame 2), the rate as a positive
// number of frames per second.
//
// Two markers, shared by every vertex model form, say which values the next exchange moves:
// the range when a box of the range was left or the tree picked a range, the rate when the Fps
// box was left. A new form starts with all three values of its instance shown.

#include <QLabel>
#include <QWidget>

#include "app/NumberBox.h"
#include "vertex/VertexInstance.h"

namespace qx::app {

class CVModelProperty : public QWidget {
    Q_OBJECT
public:
    static bool frameRangeChanged;
    static bool frameRateChanged;

    explicit CVModelProperty(QWidget* parent = nullptr);

    void setName(const QString& name) { name_ = name; }
    // The instance shown and played; the form does nothing without one.
    void setInstance(VertexInstance* instance);
    void showValues() { exchange(false); }
    void readValues() { exchange(true); }

private:
    void exchange(bool read);

    QString name_;
    VertexInstance* instance_ = nullptr;
    QLabel* nameText_ = nullptr;
    NumberBox* start_ = nullptr;
    NumberBox* end_ = nullptr;
    NumberBox* fps_ = nullptr;
};

}  // namespace qx::app
