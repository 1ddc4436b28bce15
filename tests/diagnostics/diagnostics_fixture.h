#pragma once

// A loaded and started plugin (function table, init, registered identifier) whose client
// knows its own ID and hands out the return code "rc". After every test, each string and
// ID list the client handed out must have come back through its freeMemory, whichever
// path the plugin took.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/testhost/test_host.h"

using wt::testhost::HostFunction;
using wt::testhost::TestHost;
using F = HostFunction;
using Calls = std::vector<std::string>;

inline constexpr uint64_t kHandler = 3;
inline constexpr uint16_t kOwnClient = 5;

inline void startClient(TestHost& client) {
    ASSERT_TRUE(client.loaded()) << client.loadError();
    client.start();
    client.clearHostCalls();
    client.setNumber(F::getClientID, kOwnClient);
    client.setText(F::createReturnCode, "rc");
}

inline void expectLeakFree(const TestHost& client) {
    EXPECT_EQ(client.outstandingAllocations(), 0u) << "host blocks never given back";
    EXPECT_EQ(client.unknownFrees(), 0u) << "freeMemory with a pointer never handed out";
}

class Diagnostics : public ::testing::Test {
  protected:
    void SetUp() override { startClient(host); }

    void TearDown() override { expectLeakFree(host); }

    // "/test <text>" on kHandler: checks the result and what it printed after its echo
    // line, and returns the host calls it made.
    Calls command(const char* text, const std::string& output = "", int expected = 0) {
        int result = -1;
        const auto outcome = host.run([&] { result = host.plugin.processCommand(kHandler, text); });
        const std::string shown = text != nullptr ? text : "";
        EXPECT_EQ(result, expected) << shown;
        EXPECT_EQ(outcome.output, "PLUGIN: process command: '" + shown + "'\n" + output) << shown;
        return outcome.hostCalls;
    }

    TestHost host;
};

// A logMessage call as the client records it.
inline std::string logged(const std::string& text, int severity, uint64_t logId = kHandler) {
    return "logMessage(\"" + text + "\", " + std::to_string(severity) + ", \"Plugin\", " +
           std::to_string(logId) + ")";
}

inline std::string tab(const std::string& text) {
    return "printMessageToCurrentTab(\"" + text + "\")";
}
