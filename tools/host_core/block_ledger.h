#pragma once

// The blocks a host hands the plugin (texts, ID lists) and the plugin gives back through
// the host's freeMemory, as one account: every block handed out is a malloc-ed copy,
// numbered in the order handed out from 1, and counted until it comes back. A pointer the
// host never handed out is counted and never released: releasing it would corrupt a heap
// that is not the host's. Safe to use from several threads at once.

#include <cstddef>
#include <map>
#include <mutex>

namespace wt::hostcore {

// What a pointer given back turned out to be.
enum class GivenBack { Null, Unknown, Released };

struct GiveBackResult {
    GivenBack kind;
    size_t serial;  // Released: the block's number; otherwise 0
};

class BlockLedger {
  public:
    BlockLedger() = default;
    // What was never given back is released with the ledger.
    ~BlockLedger();
    BlockLedger(const BlockLedger&) = delete;
    BlockLedger& operator=(const BlockLedger&) = delete;

    // A counted copy of the `size` bytes at `data`; null when memory runs out (nothing is
    // counted then).
    void* handOut(const void* data, size_t size);

    // Releases `pointer` when it is a block handed out and not yet given back.
    GiveBackResult giveBack(void* pointer);

    // Blocks handed out and not yet given back.
    size_t outstanding() const;

    // Pointers given back that this ledger never handed out (null not counted).
    size_t unknownGivenBack() const;

  private:
    mutable std::mutex mutex_;
    std::map<void*, size_t> handedOut_;  // block -> its number
    size_t handOutCount_ = 0;
    size_t unknown_ = 0;
};

}  // namespace wt::hostcore
