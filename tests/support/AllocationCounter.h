#pragma once
// A counting global operator new for the programs that check how much code allocates: the
// frame loop (nothing after the first frame) and the readers (bounded by the file's size).
// Linking AllocationCounter.cpp replaces operator new and delete for the whole program.

#include <cstddef>

namespace qx::test {

struct Allocations {
    std::size_t count = 0;  // calls to operator new
    std::size_t bytes = 0;  // bytes they asked for (an upper bound of the peak)
};

// Starts counting from zero.
void startCountingAllocations();
// Stops counting and returns what was counted since the start.
Allocations stopCountingAllocations();

}  // namespace qx::test
