// The rows --help prints from the option and exit-code tables.

#include "tools/session/help_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace wt::session;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(HelpText, OptionRowsWrapWithinTheWidthUnderTheirColumn) {
    const std::string longText(30, 'x');
    const std::vector<OptionRow> rows = {
        {"--short", "", "fits"},
        {"--long", "N", longText + " " + longText + " " + longText},
        {"--a-very-long-flag", "VALUE", "below its head"},
    };
    EXPECT_EQ(lines(optionRows(rows)), (std::vector<std::string>{
                                           "Options:",
                                           "  --short           fits",
                                           "  --long N          " + longText + " " + longText,
                                           "                    " + longText,
                                           "  --a-very-long-flag VALUE",
                                           "                    below its head",
                                       }));
}

TEST(HelpText, ExitCodeRowsAreTheToolsOwn) {
    const std::string live = exitCodeRows(Tool::Live);
    EXPECT_NE(live.find("\n  11  no PipeWire: no server reachable, or PipeWire not installed\n"),
              std::string::npos)
        << live;
    EXPECT_EQ(live.find("\n  7   "), std::string::npos) << "wacky-live writes no output file";
    for (const std::string& line : lines(exitCodeRows(Tool::Render)))
        EXPECT_LE(line.size(), kHelpWidth) << line;
}

}  // namespace
