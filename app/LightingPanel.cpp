#include "app/LightingPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "app/CommandIds.h"

namespace qx::app {

namespace {

constexpr float ByteScale = 0.003921569f;  // 1/255: a slider step of the levels
const char* const IdProperty = "controlId";

// The leading decimal digits of the text, 0 when there are none.
int leadingNumber(const QString& text) {
    int value = 0;
    for (const QChar c : text) {
        if (!c.isDigit()) break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

}  // namespace

LightingPanel::LightingPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("lightingPanel"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 0);
    row->addWidget(new QLabel(QStringLiteral("Ambient Level"), this));
    ambient_ = addSlider(IdAmbientSlider, "ambientLevel");
    row->addWidget(ambient_);
    row->addWidget(new QLabel(QStringLiteral("Specular Level"), this));
    specular_ = addSlider(IdSpecularSlider, "specularLevel");
    row->addWidget(specular_);
    const char* labels[3] = {"Red", "Green", "Blue"};
    const int boxIds[3] = {IdRedBox, IdGreenBox, IdBlueBox};
    const int sliderIds[3] = {IdRedSlider, IdGreenSlider, IdBlueSlider};
    const char* boxNames[3] = {"redBox", "greenBox", "blueBox"};
    const char* sliderNames[3] = {"red", "green", "blue"};
    for (int i = 0; i < 3; ++i) {
        row->addSpacing(6);
        row->addWidget(new QLabel(QString::fromLatin1(labels[i]), this));
        colourBoxes_[i] = addNumberBox(boxIds[i], boxNames[i]);
        row->addWidget(colourBoxes_[i]);
        colourSliders_[i] = addSlider(sliderIds[i], sliderNames[i]);
        row->addWidget(colourSliders_[i]);
    }
    row->addStretch(1);
}

QSlider* LightingPanel::addSlider(int id, const char* name) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setProperty(IdProperty, id);
    slider->setRange(0, 255);
    slider->setValue(0);
    slider->setMinimumWidth(64);
    connect(slider, &QSlider::valueChanged, this, [this, id] { notify(id); });
    return slider;
}

QLineEdit* LightingPanel::addNumberBox(int id, const char* name) {
    auto* box = new QLineEdit(QStringLiteral("0"), this);
    box->setObjectName(QString::fromLatin1(name));
    box->setProperty(IdProperty, id);
    box->setMaxLength(3);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), box));
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
    box->setAlignment(Qt::AlignRight);
    // Typing reports each edit, as the box-to-slider direction needs; text set by the panel
    // itself does not, so the two directions never feed each other.
    connect(box, &QLineEdit::textEdited, this, [this, id] { notify(id); });
    return box;
}

void LightingPanel::notify(int id) {
    switch (id) {
        case IdAmbientSlider:
            settings_.ambient = static_cast<float>(ambient_->value()) * ByteScale;
            break;
        case IdSpecularSlider:
            settings_.specular = static_cast<float>(specular_->value()) * ByteScale;
            break;
        case IdRedSlider:
        case IdGreenSlider:
        case IdBlueSlider:
            for (int i = 0; i < 3; ++i) colourBoxes_[i]->setText(QString::number(colourSliders_[i]->value()));
            break;
        case IdRedBox:
        case IdGreenBox:
        case IdBlueBox:
            for (int i = 0; i < 3; ++i) {
                const QSignalBlocker quiet(colourSliders_[i]);
                colourSliders_[i]->setValue(leadingNumber(colourBoxes_[i]->text()));
            }
            break;
        default:
            return;
    }
    // The colour follows the sliders whichever side moved them: a typed number takes effect
    // at once, not at the next slider move.
    settings_.red = colourSliders_[0]->value();
    settings_.green = colourSliders_[1]->value();
    settings_.blue = colourSliders_[2]->value();
    emit changed(id);
}

}  // namespace qx::app
