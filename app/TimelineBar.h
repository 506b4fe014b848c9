#pragma once
// The row under a child window's view: the timeline of the window's session (a slider from 0 to
// the furthest time played), the time it shows as text, and the playback speed.
//
// The readout reads "1.433 s  frame 43", a vertex model's adding the clip ("0.800 s  frame 12
// flap"), so that scripts and screen readers can read it; the status bar shows the same text.

#include <QWidget>

class QComboBox;
class QLabel;
class QSlider;

namespace qx::app {

class TimelineBar : public QWidget {
    Q_OBJECT
public:
    // Steps of the speed control, slowest first; 1x is chosen at first.
    static constexpr double Speeds[] = {0.1, 0.25, 0.5, 1.0, 2.0, 4.0};

    explicit TimelineBar(QWidget* parent = nullptr);

    // Shows the time in a timeline of span seconds (at least the time itself) and the readout.
    void showTime(double seconds, double span, const QString& readout);
    double speed() const;

    QSlider& slider() const { return *slider_; }
    QComboBox& speedBox() const { return *speed_; }
    QString readout() const;

signals:
    // The user moved the timeline to this time.
    void timeChosen(double seconds);
    void speedChosen(double speed);

private:
    QSlider* slider_ = nullptr;
    QLabel* readout_ = nullptr;
    QComboBox* speed_ = nullptr;
    bool showing_ = false;
};

// The readout's text: seconds with three decimals, then the frame, then the clip if any.
QString timeReadout(double seconds, int frame, const QString& clip);

}  // namespace qx::app
