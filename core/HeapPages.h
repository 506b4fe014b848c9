#pragma once
// Process-wide memory policy for programs that read big files once and exit.

namespace qx {

// Lets the kernel back the heap with large pages: a model read from a big file fills thousands
// of small lists, and on ordinary pages every 4 KiB of them costs a page fault. Reserves heap
// address space up front (pages are still committed only when touched) and keeps freed memory
// for reuse instead of handing it back. Call once, early, before any other thread starts; it
// does nothing where the C library or the kernel cannot do it (the address space cannot grow by
// the reserve: strict overcommit, a low ulimit -v), and under the sanitizers, whose allocators
// are their own.
void backHeapWithLargePages();

}  // namespace qx
