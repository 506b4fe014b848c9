// The clock, the idle pass and the idle driver, with a counter moved by hand.

#include <QTest>
#include <QTimer>

#include "app/AnimationClock.h"
#include "app/IdleDriver.h"
#include "app/IdleLoop.h"
#include "tests/app/AppTests.h"

namespace qx::test {
namespace {

using app::AnimationClock;

struct FakeView : app::AnimatedView {
    std::vector<float> steps;
    int invalidated = 0;
    void UpdateAnimation(float timeStep) override { steps.push_back(timeStep); }
    void invalidate() override { ++invalidated; }
};

class ClockTest : public QObject {
    Q_OBJECT
private slots:
    void pauseAndResumeKeepStopwatchTimes() {
        FakeCounter counter;
        auto clock = counter.makeClock();
        clock->tick();
        const int watch = clock->takeStopwatch();
        counter.now = 1500;
        clock->tick();
        QCOMPARE(clock->readStopwatch(watch), 0.5f);
        counter.now = 1700;
        clock->pause();
        QCOMPARE(clock->readStopwatch(watch), 0.0f);
        QCOMPARE(clock->elapsed(), 0.0f);
        counter.now = 5000;  // 3.3 s paused
        clock->resume();
        // The first step after the resume is the gap between the last tick and the pause.
        QCOMPARE(clock->elapsed(), 0.2f);
        counter.now = 5100;
        clock->tick();
        QCOMPARE(clock->readStopwatch(watch), 0.8f);
        QCOMPARE(clock->elapsed(), 0.1f);
    }

    void stopwatchesRunOut() {
        FakeCounter counter;
        auto clock = counter.makeClock();
        for (int i = 0; i < AnimationClock::StopwatchCount; ++i) QCOMPARE(clock->takeStopwatch(), i);
        QCOMPARE(clock->takeStopwatch(), -1);
        counter.now += 250;
        clock->tick();
        QCOMPARE(clock->readStopwatch(-1), 0.25f);
        clock->releaseStopwatch(37);
        clock->releaseStopwatch(37);
        QCOMPARE(clock->stopwatchesInUse(), 99);
        QCOMPARE(clock->takeStopwatch(), 37);
        // Paused with no time run, a stopwatch is still taken.
        clock->releaseStopwatch(5);
        QCOMPARE(clock->takeStopwatch(), 5);
        clock->pause();
        clock->resume();
        QCOMPARE(clock->takeStopwatch(), -1);
    }

    void idlePassesStepAndMeasureTheRate() {
        FakeCounter counter;
        auto clock = counter.makeClock();
        app::IdleLoop loop(*clock);
        FakeView view;
        counter.now = 9000;  // time spent opening a file is not fed to the animation
        loop.restartAnimation();
        for (int pass = 0; pass < 99; ++pass) {
            counter.now += 10;
            QVERIFY(loop.runPass(&view));
        }
        QCOMPARE(loop.frameRate(), 0.0f);
        counter.now += 10;
        loop.runPass(&view);
        QCOMPARE(view.steps.size(), std::size_t{100});
        QCOMPARE(view.steps.front(), 0.01f);
        QCOMPARE(view.invalidated, 100);
        QCOMPARE(loop.frameRate(), 100.0f);

        // Paused, passes step by 0, answer "no more", and keep the last rate.
        clock->pause();
        for (int pass = 0; pass < 100; ++pass) {
            counter.now += 50;
            QVERIFY(!loop.runPass(&view));
        }
        QCOMPARE(view.steps.back(), 0.0f);
        QCOMPARE(loop.frameRate(), 100.0f);

        // No view: the frame-rate stopwatch is freed.
        const int inUse = clock->stopwatchesInUse();
        QVERIFY(!loop.runPass(nullptr));
        QCOMPARE(clock->stopwatchesInUse(), inUse - 1);
        QCOMPARE(loop.frameRateStopwatch(), -1);
    }

    void driverRunsWhileMoreAndWakesOnEvents() {
        int passes = 0;
        bool more = true;
        QWidget widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        app::IdleDriver driver([&](int) {
            ++passes;
            widget.update();  // a pass asks for a paint, which must not count as a new event
            return more;
        });
        QTRY_VERIFY(passes > 20);
        more = false;
        QTRY_VERIFY(!driver.running());
        const int stopped = passes;
        QTest::qWait(100);
        QCOMPARE(passes, stopped);
        QTimer::singleShot(10, [] {});  // a timer is not an event from outside
        QTest::qWait(50);
        QCOMPARE(passes, stopped);
        QTest::keyClick(&widget, Qt::Key_A);
        QTRY_VERIFY(passes > stopped);
        QTest::qWait(100);
        QVERIFY(passes <= stopped + 2);
    }
};

}  // namespace

std::unique_ptr<QObject> makeClockTests() { return std::make_unique<ClockTest>(); }

}  // namespace qx::test

#include "ClockTest.moc"
