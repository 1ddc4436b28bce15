#include "tests/support/allocation_probe.h"

#include <atomic>
#include <cstdlib>

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void __real_free(void* pointer);
}

namespace {

// Plain fixed storage: the wrappers must not allocate themselves.
constexpr int kMaxTracked = 256;

struct ProbeState {
    bool armed = false;
    int failAt = -1;
    size_t attempts = 0;
    void* tracked[kMaxTracked] = {};
    int trackedCount = 0;
};

ProbeState probe;

// Outside the state the lock guards: a hook may wait for another thread that frees too.
std::atomic<void (*)(void*)> freeHook{nullptr};

// Threads of one test may allocate at once; a spin lock, since a mutex might allocate.
std::atomic_flag busy = ATOMIC_FLAG_INIT;

struct Locked {
    Locked() {
        while (busy.test_and_set(std::memory_order_acquire)) {
        }
    }

    ~Locked() { busy.clear(std::memory_order_release); }
};

bool failThisOne() {
    if (!probe.armed) return false;
    return static_cast<int>(probe.attempts++) == probe.failAt;
}

void track(void* block) {
    if (probe.armed && block != nullptr && probe.trackedCount < kMaxTracked) {
        probe.tracked[probe.trackedCount++] = block;
    }
}

void untrack(void* block) {
    for (int i = 0; i < probe.trackedCount; ++i) {
        if (probe.tracked[i] == block) {
            probe.tracked[i] = probe.tracked[--probe.trackedCount];
            return;
        }
    }
}

}  // namespace

extern "C" {

void* __wrap_malloc(size_t size) {
    Locked lock;
    if (failThisOne()) return nullptr;
    void* block = __real_malloc(size);
    track(block);
    return block;
}

void* __wrap_calloc(size_t count, size_t size) {
    Locked lock;
    if (failThisOne()) return nullptr;
    void* block = __real_calloc(count, size);
    track(block);
    return block;
}

void __wrap_free(void* pointer) {
    if (auto hook = freeHook.load()) hook(pointer);
    Locked lock;
    untrack(pointer);
    __real_free(pointer);
}

}  // extern "C"

namespace wt::test {

AllocationProbe::AllocationProbe(int failAt) {
    probe = ProbeState{};
    probe.failAt = failAt;
    probe.armed = true;
}

AllocationProbe::~AllocationProbe() {
    freeHook = nullptr;
    probe.armed = false;
}

bool AllocationProbe::active() {
    const bool wasArmed = probe.armed;
    const size_t attempts = probe.attempts;
    probe.armed = true;
    void* volatile block = std::malloc(1);  // volatile: the pair must not be elided
    std::free(block);
    const bool seen = probe.attempts != attempts;
    probe.attempts = attempts;
    probe.armed = wasArmed;
    return seen;
}

size_t AllocationProbe::allocations() const {
    return probe.attempts;
}

size_t AllocationProbe::live() const {
    Locked lock;
    return static_cast<size_t>(probe.trackedCount);
}

bool AllocationProbe::isLive(const void* block) const {
    Locked lock;
    for (int i = 0; i < probe.trackedCount; ++i) {
        if (probe.tracked[i] == block) return true;
    }
    return false;
}

void AllocationProbe::onFree(void (*hook)(void*)) {
    freeHook = hook;
}

}  // namespace wt::test
