// The test command on two client threads while a third registers identifiers and shuts
// the plugin down, free-running. ThreadSanitizer (preset tsan) fails the run on any race,
// a command reading a copy that registration or shutdown released among them; in every
// build each identifier the client receives must be one that was registered, whole.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <thread>

#include "host/host_functions.h"
#include "plugin/entry_points.h"
#include "tests/support/silenced_stdout.h"

namespace {

constexpr int kRounds = 1500;
// Of different lengths, so a copy read while it is replaced cannot pass for the other.
constexpr const char* kIds[] = {"first-plugin-id", "second-plugin-identifier-of-the-race"};
// Each subcommand that hands the client the identifier.
constexpr const char* kCommands[] = {"join 12",       "command hi",    "enablemenu 7 1",
                                     "subscribe 9",   "unsubscribe 9", "subscribeall",
                                     "unsubscribeall"};

std::atomic<int> identifiersReceived{0};
std::atomic<int> wrongIdentifiers{0};

void receive(const char* id) {
    ++identifiersReceived;
    if (id == nullptr || (std::strcmp(id, kIds[0]) != 0 && std::strcmp(id, kIds[1]) != 0)) {
        ++wrongIdentifiers;
    }
}

// The client's side of each call the command makes: each succeeds.
unsigned int createReturnCode(const char* id, char* code, size_t size) {
    receive(id);
    std::snprintf(code, size, "rc");
    return 0;
}

unsigned int sendPluginCommand(uint64_t, const char* id, const char*, int, const uint16_t*,
                               const char*) {
    receive(id);
    return 0;
}

unsigned int setPluginMenuEnabled(const char* id, int, int) {
    receive(id);
    return 0;
}

unsigned int getClientID(uint64_t, uint16_t* own) {
    *own = 5;
    return 0;
}

// Every other call the commands make.
template <typename... Args>
unsigned int succeed(Args...) {
    return 0;
}

HostFunctions client() {
    HostFunctions table{};
    table.set<HostFunction::createReturnCode>(createReturnCode);
    table.set<HostFunction::sendPluginCommand>(sendPluginCommand);
    table.set<HostFunction::setPluginMenuEnabled>(setPluginMenuEnabled);
    table.set<HostFunction::getClientID>(getClientID);
    table.set<HostFunction::requestClientMove>(succeed);
    table.set<HostFunction::requestChannelSubscribe>(succeed);
    table.set<HostFunction::requestChannelUnsubscribe>(succeed);
    table.set<HostFunction::requestChannelSubscribeAll>(succeed);
    table.set<HostFunction::requestChannelUnsubscribeAll>(succeed);
    table.set<HostFunction::logMessage>(succeed);
    table.set<HostFunction::printMessageToCurrentTab>(succeed);
    return table;
}

TEST(PluginIdRace, CommandsGetARegisteredIdentifierWholeWhileOthersRegisterAndShutDown) {
    ts3plugin_setFunctionPointers(client());
    {
        wt::test::SilencedStdout silenced;  // every call prints
        ts3plugin_registerPluginID(kIds[0]);
        std::atomic<bool> go{false};
        std::atomic<int> running{2};
        auto commands = [&](size_t offset) {
            while (!go.load()) std::this_thread::yield();
            for (int round = 0; round < kRounds; ++round) {
                for (size_t i = 0; i < std::size(kCommands); ++i) {
                    ts3plugin_processCommand(1, kCommands[(i + offset) % std::size(kCommands)]);
                }
            }
            --running;
        };
        std::thread first(commands, 0);
        std::thread second(commands, 3);
        go = true;
        // For as long as the commands run. Every call prints, and the console's lock may
        // keep this thread waiting for long stretches: how many commands find an
        // identifier is up to the scheduler.
        for (int round = 0; running.load() > 0; ++round) {
            ts3plugin_registerPluginID(kIds[round % 2]);
            if (round % 3 == 2) ts3plugin_shutdown();
            std::this_thread::yield();
        }
        first.join();
        second.join();
        ts3plugin_shutdown();
    }
    EXPECT_EQ(wrongIdentifiers.load(), 0) << "of " << identifiersReceived.load();
}

}  // namespace
