// The account of blocks a host hands the plugin: each comes back once, nothing foreign is
// ever released, and what is never given back goes with the ledger (the sanitizer and
// memcheck stages fail on a leak or a double release here).

#include "tools/host_core/block_ledger.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace {

using wt::hostcore::BlockLedger;
using wt::hostcore::GivenBack;

TEST(BlockLedger, HandsOutNumberedCopiesAndReleasesEachExactlyOnce) {
    BlockLedger ledger;
    const char text[] = "3.6.1";
    void* first = ledger.handOut(text, sizeof text);
    void* second = ledger.handOut(text, 2);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, static_cast<const void*>(text));
    EXPECT_STREQ(static_cast<const char*>(first), "3.6.1");
    EXPECT_EQ(ledger.outstanding(), 2u);

    const auto back = ledger.giveBack(second);
    EXPECT_EQ(back.kind, GivenBack::Released);
    EXPECT_EQ(back.serial, 2u);
    // The same pointer again is no longer the host's: counted, not released twice.
    EXPECT_EQ(ledger.giveBack(second).kind, GivenBack::Unknown);
    EXPECT_EQ(ledger.unknownGivenBack(), 1u);

    EXPECT_EQ(ledger.giveBack(first).serial, 1u);
    EXPECT_EQ(ledger.outstanding(), 0u);
    // Numbers keep counting after blocks come back: a record names one block for good.
    void* third = ledger.handOut(text, 1);
    EXPECT_EQ(ledger.giveBack(third).serial, 3u);
}

TEST(BlockLedger, NullAndForeignPointersAreNeverReleased) {
    BlockLedger ledger;
    char foreign[16] = "not the host's";
    void* block = ledger.handOut("x", 2);

    const auto null = ledger.giveBack(nullptr);
    EXPECT_EQ(null.kind, GivenBack::Null);
    EXPECT_EQ(null.serial, 0u);
    EXPECT_EQ(ledger.unknownGivenBack(), 0u);

    EXPECT_EQ(ledger.giveBack(foreign).kind, GivenBack::Unknown);
    EXPECT_STREQ(foreign, "not the host's");
    EXPECT_EQ(ledger.unknownGivenBack(), 1u);
    EXPECT_EQ(ledger.outstanding(), 1u);
    EXPECT_EQ(ledger.giveBack(block).kind, GivenBack::Released);
}

TEST(BlockLedger, WhatIsNeverGivenBackGoesWithTheLedger) {
    auto ledger = std::make_unique<BlockLedger>();
    ledger->handOut("kept by a faulty plugin", 24);
    EXPECT_EQ(ledger->outstanding(), 1u);
    ledger.reset();  // a leak check at exit fails if this did not release the block
}

TEST(BlockLedger, ThreadsHandingOutAndGivingBackAtOnceKeepOneAccount) {
    BlockLedger ledger;
    constexpr int kThreads = 4;
    constexpr int kBlocks = 2000;
    std::vector<std::vector<size_t>> serials(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kBlocks; ++i) {
                void* block = ledger.handOut(&i, sizeof i);
                serials[t].push_back(ledger.giveBack(block).serial);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    std::set<size_t> distinct;
    for (const auto& list : serials) distinct.insert(list.begin(), list.end());
    EXPECT_EQ(distinct.size(), size_t{kThreads * kBlocks});
    EXPECT_EQ(*distinct.begin(), 1u);
    EXPECT_EQ(*distinct.rbegin(), size_t{kThreads * kBlocks});
    EXPECT_EQ(ledger.outstanding(), 0u);
    EXPECT_EQ(ledger.unknownGivenBack(), 0u);
}

}  // namespace
