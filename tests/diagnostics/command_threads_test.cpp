// The "test" command on one client thread while another replaces the plugin identifier or
// shuts the plugin down: the host function that takes the identifier is held until the
// other thread is done, then reads it. It must read the identifier the command started
// with, whole; the next command sees only the new state.

#include <algorithm>
#include <string>
#include <thread>

#include "tests/diagnostics/diagnostics_fixture.h"
#include "tests/support/gate.h"

namespace {

using CommandThreads = Diagnostics;

const std::string kReturnCodeFor = "createReturnCode(\"%\", buf, 128)";

// Each subcommand that hands the client the identifier, the host function that takes it,
// and that call as recorded, % standing for the identifier.
const struct {
    const char* text;
    F takesIdentifier;
    std::string call;
} kUses[] = {
    {"join 12", F::createReturnCode, kReturnCodeFor},
    {"command hi", F::sendPluginCommand, "sendPluginCommand(3, \"%\", \"hi\", 0, null, null)"},
    {"enablemenu 7 1", F::setPluginMenuEnabled, "setPluginMenuEnabled(\"%\", 7, 1)"},
    {"subscribe 9", F::createReturnCode, kReturnCodeFor},
    {"unsubscribe 9", F::createReturnCode, kReturnCodeFor},
    {"subscribeall", F::createReturnCode, kReturnCodeFor},
    {"unsubscribeall", F::createReturnCode, kReturnCodeFor},
};

std::string withId(std::string call, const std::string& id) {
    return call.replace(call.find('%'), 1, id);
}

bool contains(const Calls& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

TEST_F(CommandThreads, ACommandKeepsItsIdentifierWholeWhileAnotherThreadReplacesOrDropsIt) {
    const std::string replacement = "replacement-plugin-id";
    for (const bool shutDown : {false, true}) {
        for (const auto& use : kUses) {
            wt::test::Gate inside;
            wt::test::Gate goOn;
            host.onCall(use.takesIdentifier, [&] {
                inside.open();
                goOn.wait();
            });
            host.clearHostCalls();
            host.run([&] {
                std::thread command([&] { host.plugin.processCommand(kHandler, use.text); });
                inside.wait();
                host.onCall(use.takesIdentifier, nullptr);
                if (shutDown) {
                    host.plugin.shutdown();
                } else {
                    host.plugin.registerPluginID(replacement.c_str());
                }
                goOn.open();
                command.join();
            });
            EXPECT_TRUE(contains(host.hostCalls(), withId(use.call, wt::testhost::kTestPluginId)))
                << use.text << ": " << testing::PrintToString(host.hostCalls());

            const auto next = host.run([&] { host.plugin.processCommand(kHandler, use.text); });
            if (shutDown) {
                EXPECT_NE(next.output.find("was not registered"), std::string::npos) << use.text;
            } else {
                EXPECT_TRUE(contains(next.hostCalls, withId(use.call, replacement))) << use.text;
            }
            host.run([&] { host.plugin.registerPluginID(wt::testhost::kTestPluginId); });
        }
    }
}

}  // namespace
