// The "test" command on one client thread while another replaces the plugin identifier or
// shuts the plugin down: the host function that takes the identifier is held until the
// other thread is done, then reads it. It must read the identifier the command started
// with, whole; later commands see only the new state.

#include <functional>
#include <semaphore>
#include <string>
#include <thread>

#include "tests/diagnostics/diagnostics_fixture.h"

namespace {

using CommandThreads = Diagnostics;

constexpr char kReplacement[] = "replacement-plugin-id";

struct IdentifierUse {
    const char* text;
    F takesIdentifier;
    const char* call;  // as recorded, with the identifier the command started with
};

const IdentifierUse kUses[] = {
    {"join 12", F::createReturnCode, "createReturnCode(\"wt-test-plugin-id\", buf, 128)"},
    {"command hi", F::sendPluginCommand,
     "sendPluginCommand(3, \"wt-test-plugin-id\", \"hi\", 0, null, null)"},
    {"enablemenu 7 1", F::setPluginMenuEnabled,
     "setPluginMenuEnabled(\"wt-test-plugin-id\", 7, 1)"},
    {"subscribe 9", F::createReturnCode, "createReturnCode(\"wt-test-plugin-id\", buf, 128)"},
    {"unsubscribe 9", F::createReturnCode, "createReturnCode(\"wt-test-plugin-id\", buf, 128)"},
    {"subscribeall", F::createReturnCode, "createReturnCode(\"wt-test-plugin-id\", buf, 128)"},
    {"unsubscribeall", F::createReturnCode, "createReturnCode(\"wt-test-plugin-id\", buf, 128)"},
};

// Runs `text` on a thread of its own, holds it inside `held` and runs `meanwhile` on this
// thread before letting it go on. Returns the host calls the command made.
Calls commandHeldWhile(TestHost& host, const char* text, F held,
                       const std::function<void()>& meanwhile) {
    std::binary_semaphore inside{0};
    std::binary_semaphore goOn{0};
    host.onCall(held, [&] {
        inside.release();
        goOn.acquire();
    });
    host.clearHostCalls();
    Calls made;
    host.run([&] {
        std::thread command([&] { host.plugin.processCommand(kHandler, text); });
        inside.acquire();
        host.onCall(held, nullptr);
        meanwhile();
        goOn.release();
        command.join();
    });
    return host.hostCalls();
}

bool contains(const Calls& calls, const std::string& call) {
    for (const std::string& made : calls) {
        if (made == call) return true;
    }
    return false;
}

TEST_F(CommandThreads, ACommandKeepsTheIdentifierItStartedWithWhileAnotherThreadReplacesIt) {
    for (const IdentifierUse& use : kUses) {
        const Calls made = commandHeldWhile(host, use.text, use.takesIdentifier,
                                            [&] { host.plugin.registerPluginID(kReplacement); });
        EXPECT_TRUE(contains(made, use.call)) << use.text << ": " << testing::PrintToString(made);

        // The next command goes out with the replacement.
        host.clearHostCalls();
        host.run([&] { host.plugin.processCommand(kHandler, use.text); });
        std::string replaced = use.call;
        replaced.replace(replaced.find("wt-test-plugin-id"), 17, kReplacement);
        EXPECT_TRUE(contains(host.hostCalls(), replaced)) << use.text;

        host.run([&] { host.plugin.registerPluginID(wt::testhost::kTestPluginId); });
    }
}

TEST_F(CommandThreads, ACommandKeepsTheIdentifierItStartedWithWhileAnotherThreadShutsDown) {
    for (const IdentifierUse& use : kUses) {
        const Calls made =
            commandHeldWhile(host, use.text, use.takesIdentifier, [&] { host.plugin.shutdown(); });
        EXPECT_TRUE(contains(made, use.call)) << use.text << ": " << testing::PrintToString(made);

        // After shutdown the next one is refused before it reaches the client.
        const auto refused = host.run([&] { host.plugin.processCommand(kHandler, use.text); });
        EXPECT_NE(refused.output.find("was not registered"), std::string::npos) << use.text;
        EXPECT_FALSE(contains(refused.hostCalls, use.call)) << use.text;

        host.run([&] { host.plugin.registerPluginID(wt::testhost::kTestPluginId); });
    }
}

}  // namespace
