#pragma once

// Sees and fails the allocations of the code linked into this test program: the program
// is linked with malloc, calloc and free wrapped (-Wl,--wrap), so every such call made by
// the plugin's objects passes through here. Calls made inside shared libraries are not
// seen, and a toolchain that imports malloc from a DLL is not seen at all: active()
// tells whether the wrapping works here.

#include <cstddef>

namespace wt::test {

class AllocationProbe {
  public:
    // failAt: the number (0-based) of the allocation that returns null; -1 fails none.
    explicit AllocationProbe(int failAt = -1);
    ~AllocationProbe();
    AllocationProbe(const AllocationProbe&) = delete;
    AllocationProbe& operator=(const AllocationProbe&) = delete;

    static bool active();

    size_t allocations() const;  // attempts while this probe lives, the failed one included
    size_t live() const;         // blocks allocated while it lives and not freed yet
    bool isLive(const void* block) const;  // allocated while it lives, not freed yet

    // Runs `hook` in every free() of the code under test while this probe lives, on the
    // calling thread, before the block is released; null removes it. The hook must not
    // allocate or free.
    void onFree(void (*hook)(void* block));
};

}  // namespace wt::test
