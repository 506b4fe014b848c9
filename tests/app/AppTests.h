#pragma once
// The groups of the viewer's Qt tests, each a QObject of test slots, and what they share.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QObject>

#include "app/AnimationClock.h"

namespace qx::test {

struct AppTestGroup {
    const char* name;
    std::function<std::unique_ptr<QObject>()> make;
};
const std::vector<AppTestGroup>& appTestGroups();

// A counter the test moves by hand, at 1000 counts a second.
struct FakeCounter {
    std::int64_t now = 1000;
    static constexpr std::int64_t Frequency = 1000;
    std::unique_ptr<app::AnimationClock> makeClock() {
        return app::AnimationClock::create([this] { return now; }, Frequency);
    }
};

std::unique_ptr<QObject> makeClockTests();
std::unique_ptr<QObject> makeMainFrameTests();
std::unique_ptr<QObject> makeViewTests();
std::unique_ptr<QObject> makeDocumentTests();

}  // namespace qx::test
