#include "core/HeapPages.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace qx {

void backHeapWithLargePages() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE) && !defined(__SANITIZE_ADDRESS__)
    constexpr int Reserve = 512 << 20;
    constexpr std::uintptr_t LargePage = std::uintptr_t{2} << 20;
    // Under strict overcommit or a low address-space limit the heap cannot grow by the reserve,
    // and with the reserve as top pad every later growth would fail too: try the growth first
    // and, refused, leave malloc's settings as they are. Nothing else runs yet, so the break
    // given straight back is where malloc left it.
    constexpr std::intptr_t Probe = Reserve + (std::intptr_t{2} << 20);
    if (sbrk(Probe) == reinterpret_cast<void*>(-1)) return;
    sbrk(-Probe);
    // Lists up to 32 MiB come from the heap too, rather than each from a mapping of its own.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TOP_PAD, Reserve);
    mallopt(M_TRIM_THRESHOLD, Reserve);
    const auto start = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // One allocation larger than what is left makes the heap grow now, by the reserve. Volatile,
    // or the compiler drops an allocation nobody reads.
    void* volatile block = std::malloc(1 << 20);
    std::free(block);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t from = (start + LargePage - 1) & ~(LargePage - 1);
    if (end > from) madvise(reinterpret_cast<void*>(from), end - from, MADV_HUGEPAGE);
#endif
}

}  // namespace qx
