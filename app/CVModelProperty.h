#pragma once
// The form of a vertex model: its file's full path, the frame range played (Frame Start, Frame
// End: frames start to end - 1) and the rate (Fps). Leaving a box gives the document what it
// says (a fraction of a frame is cut off: 2.7 plays from frame 2; the document keeps the rate's
// absolute value and refuses a range the model lacks); the form shows what the document
// announces.
//
// Two markers, shared by every vertex model form, say which values the next exchange moves:
// the range when a box of the range was left or the tree picked a range, the rate when the Fps
// box was left. A new form starts with all three values of its instance shown.

#include <QLabel>
#include <QWidget>

#include "app/CVModelDoc.h"
#include "app/NumberBox.h"

namespace qx::app {

class CVModelProperty : public QWidget {
    Q_OBJECT
public:
    static bool frameRangeChanged;
    static bool frameRateChanged;

    // Starts with the document's range and rate shown.
    explicit CVModelProperty(CVModelDoc& document, QWidget* parent = nullptr);

    void setName(const QString& name) { name_ = name; }
    void showValues() { exchange(false); }
    void readValues() { exchange(true); }

private:
    void exchange(bool read);

    QString name_;
    CVModelDoc& document_;
    // Set while the form gives the document its values: what the document then announces is
    // what the boxes already say.
    bool giving_ = false;
    QLabel* nameText_ = nullptr;
    NumberBox* start_ = nullptr;
    NumberBox* end_ = nullptr;
    NumberBox* fps_ = nullptr;
};

}  // namespace qx::app
