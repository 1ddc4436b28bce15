// The library's dynamic interface is exactly the committed list of entry points.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/testhost/test_host.h"

namespace {

constexpr size_t kEntryPoints = 112;

std::vector<std::string> committedList() {
    std::ifstream file(WT_EXPORTED_SYMBOLS_FILE);
    std::vector<std::string> names;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty()) names.push_back(line);
    }
    return names;
}

TEST(Exports, TheCommittedListNamesEachEntryPointOnce) {
    const auto names = committedList();
    EXPECT_EQ(names.size(), kEntryPoints);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    for (const auto& name : names) EXPECT_EQ(name.rfind("ts3plugin_", 0), 0u) << name;
}

TEST(Exports, EveryListedEntryPointResolvesInTheLoadedLibrary) {
    wt::testhost::TestHost host;
    ASSERT_TRUE(host.loaded()) << host.loadError();
    for (const auto& name : committedList()) {
        EXPECT_NE(host.symbol(name.c_str()), nullptr) << name;
    }
}

#if defined(WT_READELF)

std::string commandOutput(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
            output.append(chunk, n);
        }
        pclose(pipe);
    }
    return output;
}

std::string readelf(const char* options) {
    return commandOutput(std::string(WT_READELF) + " " + options + " '" +
                         wt::testhost::builtPluginPath() + "'");
}

// readelf --dyn-syms -W: "Num: Value Size Type Bind Vis Ndx Name [version]".
TEST(Exports, TheDynamicSymbolTableDefinesExactlyTheListedNames) {
    std::set<std::string> defined;
    std::istringstream table(readelf("--dyn-syms -W"));
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string number, value, size, type, bind, visibility, section, name;
        if (!(fields >> number >> value >> size >> type >> bind >> visibility >> section)) {
            continue;
        }
        const bool entry = number.size() > 1 && number.back() == ':' &&
                           number.find_first_not_of("0123456789") == number.size() - 1;
        if (!entry || section == "UND") continue;
        fields >> name;
        defined.insert(name.substr(0, name.find('@')));
    }
    const auto names = committedList();
    EXPECT_EQ(defined, std::set<std::string>(names.begin(), names.end()));
}

TEST(Exports, NoCxxRuntimeIsNeededAtLoadTime) {
    const std::string dynamic = readelf("-d -W");
    ASSERT_NE(dynamic.find("(NEEDED)"), std::string::npos) << dynamic;
    EXPECT_EQ(dynamic.find("libstdc++"), std::string::npos) << dynamic;
    EXPECT_EQ(dynamic.find("libgcc_s"), std::string::npos) << dynamic;
}

#endif

}  // namespace
