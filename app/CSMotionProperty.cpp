#include "app/CSMotionProperty.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace qx::app {

CSMotionProperty::CSMotionProperty(CSModelDoc& document, QWidget* parent) : QWidget(parent), document_(document) {
    setObjectName(QStringLiteral("skeletalMotionForm"));
    auto* group = new QGroupBox(QStringLiteral("Skeletal Motion"), this);
    auto* form = new QFormLayout(group);
    name_ = makePathText(group);
    form->addRow(name_);
    type_ = new QComboBox(group);
    type_->setObjectName(QStringLiteral("animationType"));
    type_->addItems({QStringLiteral("CYCLE"), QStringLiteral("OVERLAY")});
    form->addRow(QStringLiteral("Animation Type"), type_);
    const auto addBox = [&](NumberBox*& box, const char* name, const char* label) {
        box = new NumberBox(QString::fromLatin1(name), group);
        form->addRow(QString::fromLatin1(label), box);
        connect(box, &NumberBox::left, this, &CSMotionProperty::readValues);
    };
    addBox(attack_, "attackLength", "Attack Length");
    addBox(decay_, "decayLength", "Decay Length");
    addBox(weight_, "weight", "Weight");
    addBox(timeFactor_, "timeFactor", "Time Factor");
    addBox(delay_, "delay", "Delay");
    addBox(stopTime_, "stopTime", "Stop Time");
    connect(type_, &QComboBox::currentIndexChanged, this, &CSMotionProperty::readValues);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
    connect(&document_, &CSModelDoc::motionSettingsChanged, this, [this](const CSMotionDoc* record) {
        if (record == record_ && !giving_) showValues();
    });
}

void CSMotionProperty::exchangeNumber(bool read, NumberBox& box, float& value) {
    if (!read || !box.readValue(value)) box.showValue(value);
}

void CSMotionProperty::exchange(bool read) {
    if (record_ == nullptr) return;
    MotionSettings s = record_->settings();
    if (!read) name_->setText(QString::fromStdString(record_->pathName()));
    exchangeNumber(read, *weight_, s.weight);
    exchangeNumber(read, *timeFactor_, s.timeFactor);
    exchangeNumber(read, *delay_, s.delay);
    exchangeNumber(read, *stopTime_, s.stopTime);
    // "Never" shows as -1 at once; a negative fade keeps its text until the form is shown again.
    if (s.stopTime < 0.0f) stopTime_->showValue(-1.0f);
    exchangeNumber(read, *attack_, s.attackLength);
    exchangeNumber(read, *decay_, s.decayLength);
    if (read) {
        const QScopedValueRollback giving(giving_, true);
        document_.setSettings(*record_, s);
        // No entry picked (a type the list does not know) leaves the motion's type as it is.
        if (type_->currentIndex() >= 0 && type_->currentIndex() != record_->motion().animationType)
            document_.setAnimationType(*record_, type_->currentIndex());
    } else {
        const QSignalBlocker quiet(type_);
        const int type = record_->motion().animationType;
        type_->setCurrentIndex(type == 0 || type == 1 ? type : -1);
    }
}

}  // namespace qx::app
