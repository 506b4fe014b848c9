#pragma once
// The lighting panel, the second row at the top of the main window: sliders for the ambient
// and specular levels and for the background's red, green and blue, each colour also as a
// number box of up to three digits. Moving a colour slider writes its number into the box;
// typing a number moves the slider. Every change is reported once with the control's id.

#include <QLineEdit>
#include <QSlider>
#include <QWidget>

#include "render/Lighting.h"

namespace qx::app {

class LightingPanel : public QWidget {
    Q_OBJECT
public:
    explicit LightingPanel(QWidget* parent = nullptr);

    const LightingSettings& settings() const { return settings_; }

signals:
    // After settings() took in the change of the control with this id.
    void changed(int controlId);

private:
    void notify(int controlId);
    QSlider* addSlider(int id, const char* name);
    QLineEdit* addNumberBox(int id, const char* name);

    LightingSettings settings_;
    QSlider* ambient_ = nullptr;
    QSlider* specular_ = nullptr;
    QSlider* colourSliders_[3] = {};
    QLineEdit* colourBoxes_[3] = {};
};

}  // namespace qx::app
