#include "app/CVModelProperty.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include "vertex/VertexInstance.h"

namespace qx::app {

bool CVModelProperty::frameRangeChanged = true;
bool CVModelProperty::frameRateChanged = true;

CVModelProperty::CVModelProperty(CVModelDoc& document, QWidget* parent) : QWidget(parent), document_(document) {
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
    // Every box starts filled, whatever the markers say: an empty Fps box would read as no rate.
    start_->showValue(static_cast<float>(document_.first()));
    end_->showValue(static_cast<float>(document_.last()));
    fps_->showValue(document_.fps());
    // What the document announces shows, whoever changed it.
    connect(&document_, &CVModelDoc::rangeChanged, this, [this] {
        if (giving_) return;
        frameRangeChanged = true;
        showValues();
    });
    connect(&document_, &CVModelDoc::rateChanged, this, [this] {
        if (giving_) return;
        frameRateChanged = true;
        showValues();
    });
}

void CVModelProperty::exchange(bool read) {
    if (!read) nameText_->setText(name_);
    const QScopedValueRollback giving(giving_, true);
    if (frameRangeChanged) {
        float start = static_cast<float>(document_.first());
        float end = static_cast<float>(document_.last());
        if (!read || !start_->readValue(start)) start_->showValue(start);
        if (!read || !end_->readValue(end)) end_->showValue(end);
        // A range the model lacks is refused, and the model plays on as it was.
        document_.setRange(VertexInstance::frameOfNumber(start), VertexInstance::frameOfNumber(end));
    }
    if (frameRateChanged) {
        float fps = document_.fps();
        if (!read || !fps_->readValue(fps)) fps_->showValue(fps);
        document_.setFps(fps);
    }
    frameRangeChanged = false;
    frameRateChanged = false;
}

}  // namespace qx::app
