#pragma once
// The form of one loaded motion: the settings it is started with (attack, decay, weight, time
// factor, delay, stop time) and its Animation Type, which is the motion's own. The values are
// read back whenever the user leaves a box or picks another type, and given to the document,
// which keeps them as the runtime needs them (settledSettings) and announces them; the form
// shows what the document announces for its record. Text that is no number leaves the setting
// as it was and shows it again.

#include <QComboBox>
#include <QLabel>
#include <QWidget>

#include "app/CSModelDoc.h"
#include "app/NumberBox.h"

namespace qx::app {

class CSMotionProperty : public QWidget {
    Q_OBJECT
public:
    // Edits the records of document.
    explicit CSMotionProperty(CSModelDoc& document, QWidget* parent = nullptr);

    // The record shown and edited; the form does nothing without one.
    void setMotion(CSMotionDoc* record) { record_ = record; }
    void showValues() { exchange(false); }
    void readValues() { exchange(true); }

private:
    void exchange(bool read);
    void exchangeNumber(bool read, NumberBox& box, float& value);

    CSModelDoc& document_;
    CSMotionDoc* record_ = nullptr;
    // Set while the form gives the document its values: the boxes keep the text typed.
    bool giving_ = false;
    QLabel* name_ = nullptr;
    QComboBox* type_ = nullptr;
    NumberBox* attack_ = nullptr;
    NumberBox* decay_ = nullptr;
    NumberBox* weight_ = nullptr;
    NumberBox* timeFactor_ = nullptr;
    NumberBox* delay_ = nullptr;
    NumberBox* stopTime_ = nullptr;
};

}  // namespace qx::app
