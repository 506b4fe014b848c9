#include "tests/app/AppTests.h"

namespace qx::test {

const std::vector<AppTestGroup>& appTestGroups() {
    static const std::vector<AppTestGroup> groups = {
        {"clock", makeClockTests},
        {"mainframe", makeMainFrameTests},
        {"view", makeViewTests},
        {"documents", makeDocumentTests},
    };
    return groups;
}

}  // namespace qx::test
