#include "tools/host_core/block_ledger.h"

#include <cstdlib>
#include <cstring>

namespace wt::hostcore {

BlockLedger::~BlockLedger() {
    for (const auto& [block, serial] : handedOut_) std::free(block);
}

void* BlockLedger::handOut(const void* data, size_t size) {
    void* block = std::malloc(size);
    if (block == nullptr) return nullptr;
    std::memcpy(block, data, size);
    const std::lock_guard lock(mutex_);
    handedOut_[block] = ++handOutCount_;
    return block;
}

GiveBackResult BlockLedger::giveBack(void* pointer) {
    if (pointer == nullptr) return {GivenBack::Null, 0};
    const std::lock_guard lock(mutex_);
    const auto it = handedOut_.find(pointer);
    if (it == handedOut_.end()) {
        ++unknown_;
        return {GivenBack::Unknown, 0};
    }
    const size_t serial = it->second;
    handedOut_.erase(it);
    std::free(pointer);
    return {GivenBack::Released, serial};
}

size_t BlockLedger::outstanding() const {
    const std::lock_guard lock(mutex_);
    return handedOut_.size();
}

size_t BlockLedger::unknownGivenBack() const {
    const std::lock_guard lock(mutex_);
    return unknown_;
}

}  // namespace wt::hostcore
