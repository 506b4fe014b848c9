#include "app/CVModelProperty.h"

#include <algorithm>
#include <cmath>

#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace qx::app {

bool CVModelProperty::frameRangeChanged = true;
bool CVModelProperty::frameRateChanged = true;

CVModelProperty::CVModelProperty(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("vertexModelForm"));
    auto* group = new QGroupBox(QStringLiteral("Vertex Model"), this);
    auto* form = new QFormLayout(group);
    nameText_ = makePathText(group);
    form->addRow(nameText_);
    start_ = new NumberBox(QStringLiteral("frameStart"), group);
    end_ = new NumberBox(QStringLiteral("frameEnd"), group);
    fps_ = new NumberBox(QStringLiteral("fps"), group);
    form->addRow(QStringLiteral("Frame Start"), start_);
    form->addRow(QStringLiteral("Frame End"), end_);
    form->addRow(QStringLiteral("Fps"), fps_);
    const auto rangeLeft = [this] {
        frameRangeChanged = true;
        readValues();
    };
    connect(start_, &NumberBox::left, this, rangeLeft);
    connect(end_, &NumberBox::left, this, rangeLeft);
    connect(fps_, &NumberBox::left, this, [this] {
        frameRateChanged = true;
        readValues();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
}

void CVModelProperty::setInstance(VertexInstance* instance) {
    instance_ = instance;
    // Every box starts filled, whatever the markers say: an empty Fps box would read as no rate.
    if (instance_ == nullptr) return;
    start_->showValue(static_cast<float>(instance_->start()));
    end_->showValue(static_cast<float>(instance_->end()));
    fps_->showValue(instance_->fps());
}

void CVModelProperty::exchange(bool read) {
    if (instance_ == nullptr) return;
    if (!read) nameText_->setText(name_);
    if (frameRangeChanged) {
        float start = static_cast<float>(instance_->start());
        float end = static_cast<float>(instance_->end());
        if (!read || !start_->readValue(start)) start_->showValue(start);
        if (!read || !end_->readValue(end)) end_->showValue(end);
        // Out-of-range frames are refused by the instance, which then plays on as it was;
        // numbers beyond any frame count are clamped first so the cut to whole frames is safe.
        const auto frame = [](float value) {
            return static_cast<std::int32_t>(std::clamp(value, -1.0f, 2147483520.0f));
        };
        instance_->setRange(frame(start), frame(end), -1);
    }
    if (frameRateChanged) {
        float fps = instance_->fps();
        if (!read || !fps_->readValue(fps)) fps_->showValue(fps);
        instance_->setFps(std::fabs(fps));
    }
    frameRangeChanged = false;
    frameRateChanged = false;
}

}  // namespace qx::app
