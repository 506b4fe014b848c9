#include "app/TimelineBar.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>

namespace qx::app {

namespace {

// The slider counts milliseconds: fine enough to reach every frame at any rate it shows.
constexpr double TicksPerSecond = 1000.0;

}  // namespace

QString timeReadout(double seconds, int frame, const QString& clip) {
    QString text = QString::asprintf("%.3f s  frame %d", seconds, frame);
    if (!clip.isEmpty()) text += QLatin1Char(' ') + clip;
    return text;
}

TimelineBar::TimelineBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("timelineBar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("timeline"));
    slider_->setAccessibleName(QStringLiteral("Time"));
    slider_->setToolTip(QStringLiteral(
        "Session time: drag to pause and show any moment played so far (Space plays, Left and Right step)"));
    slider_->setFocusPolicy(Qt::ClickFocus);
    slider_->setRange(0, 0);
    row->addWidget(slider_, 1);
    readout_ = new QLabel(this);
    readout_->setObjectName(QStringLiteral("timeReadout"));
    readout_->setAccessibleName(QStringLiteral("Time readout"));
    readout_->setToolTip(QStringLiteral("Session time, the frame shown and its clip"));
    readout_->setMinimumWidth(
        readout_->fontMetrics().horizontalAdvance(QStringLiteral("0000.000 s  frame 00000 stand")));
    row->addWidget(readout_);
    speed_ = new QComboBox(this);
    speed_->setObjectName(QStringLiteral("speed"));
    speed_->setAccessibleName(QStringLiteral("Speed"));
    speed_->setToolTip(QStringLiteral("Playback speed of this window"));
    speed_->setFocusPolicy(Qt::ClickFocus);
    for (const double speed : Speeds) speed_->addItem(QStringLiteral("%1x").arg(speed), speed);
    speed_->setCurrentIndex(3);
    row->addWidget(speed_);

    connect(slider_, &QSlider::valueChanged, this, [this](int ticks) {
        if (!showing_) emit timeChosen(ticks / TicksPerSecond);
    });
    connect(speed_, &QComboBox::currentIndexChanged, this, [this] { emit speedChosen(speed()); });
}

double TimelineBar::speed() const { return speed_->currentData().toDouble(); }

QString TimelineBar::readout() const { return readout_->text(); }

void TimelineBar::showTime(double seconds, double span, const QString& readout) {
    // The slider's own value is the only one the user moves; a time shown by playing is no choice.
    showing_ = true;
    const double end = std::min(std::max(span, seconds), 2.0e6);
    slider_->setMaximum(static_cast<int>(std::ceil(end * TicksPerSecond)));
    if (!slider_->isSliderDown())
        slider_->setValue(static_cast<int>(std::lround(std::min(seconds, end) * TicksPerSecond)));
    showing_ = false;
    if (readout_->text() != readout) readout_->setText(readout);
}

}  // namespace qx::app
