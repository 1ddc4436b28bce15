// The plugin identifier, shared by the client's threads without a lock.
//
// A copy that registration or shutdown takes out of use is not released at once: a
// command on another thread may have read the pointer a moment before and still be
// handing it to the client. Uses are counted instead, and a copy taken out of use waits
// on a list of retired copies until a moment at which no use is alive.
//
// Why a retired copy C is never released under a use U (every operation on the three
// atomics below is seq_cst, so all of them lie in one total order S):
//   U counts itself in (I), then loads the current pointer (L), and counts itself out (D)
//   only after its last access to C. A writer swaps C out of `current` (X) and then pushes
//   it onto `retired` (P). A reclaim takes the whole list (T) and only then loads the
//   count (Z), releasing what it took only if the count is 0.
//   If U got C, then L precedes X in S (no later store puts C back: each registration
//   publishes a fresh allocation), and I precedes L. A reclaim that took C has X < P < T
//   < Z. So I < Z; were D after Z, U would be among those counted at Z and the count not
//   0. Hence D < Z, and since every change of the count is a read-modify-write, the load
//   Z synchronises with D: all of U's accesses to C happen before C is released.
//   A use that counts itself in after T cannot get C either (its load follows X). Taking
//   the list before loading the count is the point: a reclaim that loaded the count first
//   could see 0, lose the processor to a use that arrives and loads a copy that is just
//   being retired, and release it under that use.
// The list is a stack whose only removal is "take everything" by exchange, so a push
// compares against a head that is really there and no node is ever read after another
// thread may have released it (no ABA). A reclaim that finds the count non-zero pushes
// its list back; the use still alive reclaims again when it ends, and releasePluginIds()
// takes what is left at unload.

#include "plugin/plugin_id.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "plugin/entry_points.h"

namespace {

// One kept identifier: a header, its text right behind it in the same allocation, so
// retiring a copy needs no memory of its own.
struct IdCopy {
    IdCopy* nextRetired;

    char* text() { return reinterpret_cast<char*>(this + 1); }
};

constinit std::atomic<IdCopy*> current{nullptr};
constinit std::atomic<IdCopy*> retired{nullptr};
constinit std::atomic<unsigned> uses{0};

static_assert(std::atomic<IdCopy*>::is_always_lock_free);
static_assert(std::atomic<unsigned>::is_always_lock_free);

IdCopy* makeCopy(const char* id) {
    const size_t size = std::strlen(id) + 1;
    void* block = std::malloc(sizeof(IdCopy) + size);
    if (block == nullptr) return nullptr;
    auto* copy = new (block) IdCopy{nullptr};
    std::memcpy(copy->text(), id, size);
    return copy;
}

// Puts the chain first..last (linked through nextRetired) on top of the retired list.
void pushRetired(IdCopy* first, IdCopy* last) {
    last->nextRetired = retired.load();
    while (!retired.compare_exchange_weak(last->nextRetired, first)) {
    }
}

void reclaim() {
    IdCopy* taken = retired.exchange(nullptr);
    if (taken == nullptr) return;
    if (uses.load() == 0) {
        while (taken != nullptr) {
            IdCopy* next = taken->nextRetired;
            std::free(taken);
            taken = next;
        }
        return;
    }
    IdCopy* last = taken;
    while (last->nextRetired != nullptr) last = last->nextRetired;
    pushRetired(taken, last);
}

// Makes `next` (or null) the kept identifier; the one it replaces is retired.
void replaceCurrent(IdCopy* next) {
    IdCopy* previous = current.exchange(next);
    if (previous != nullptr) pushRetired(previous, previous);
    reclaim();
}

}  // namespace

namespace wt {

PluginIdUse::PluginIdUse() {
    uses.fetch_add(1);
    IdCopy* copy = current.load();
    text_ = copy != nullptr ? copy->text() : nullptr;
}

PluginIdUse::~PluginIdUse() {
    uses.fetch_sub(1);
    reclaim();
}

void releasePluginIds() {
    replaceCurrent(nullptr);
}

}  // namespace wt

WT_EXPORT void ts3plugin_registerPluginID(const char* id) {
    IdCopy* copy = id != nullptr ? makeCopy(id) : nullptr;
    // Printed while the copy is this call's alone: once published, another thread's
    // registration or shutdown may retire it.
    std::printf("PLUGIN: registerPluginID: %s\n", copy != nullptr ? copy->text() : "");
    replaceCurrent(copy);
}

WT_EXPORT void ts3plugin_shutdown(void) {
    std::printf("PLUGIN: shutdown\n");
    replaceCurrent(nullptr);
}
