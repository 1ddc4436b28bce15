// The manual pages against the tables they are made from.

#include "tools/manual/manual_page.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/live/live_options.h"

namespace {

using wt::manual::manualPage;
using wt::manual::ManualSource;
using wt::manual::roffText;
using wt::session::ExitCode;
using wt::session::Tool;

TEST(ManualPage, ListsEveryOptionAndOnlyTheToolsExitCodes) {
    const ManualSource live{
        "wacky-live", "summary", wt::live::helpText(), wt::live::optionTable(), Tool::Live, {}, {}};
    const std::string page = manualPage(live, "9.9");
    for (const wt::session::OptionRow& row : live.options)
        EXPECT_NE(page.find("\n.B" + std::string(row.argument.empty() ? " " : "I \"") +
                            roffText(row.flag)),
                  std::string::npos)
            << row.flag;
    const auto codeRow = [&](ExitCode code) {
        return page.find("\n.B " + std::to_string(static_cast<int>(code)) + "\n") !=
               std::string::npos;
    };
    EXPECT_TRUE(codeRow(ExitCode::NoAudioServer));
    EXPECT_FALSE(codeRow(ExitCode::InputFormat)) << "a code only wacky-render ends with";
    // The help's own option and exit-code lists are not copied into the description.
    EXPECT_EQ(page.find("Options:"), std::string::npos);
    EXPECT_EQ(page.find("Exit codes:"), std::string::npos);
}

TEST(ManualPage, HelpProseCannotBeReadAsRequests) {
    const ManualSource tool{
        "tool", "a tool", "Usage: tool [-x]\n\n.so /etc/passwd\n'br\na\\b-c\n", {}, std::nullopt,
        {},     {}};
    const std::string page = manualPage(tool, "1");
    EXPECT_NE(page.find("\n\\fBtool\\fR [\\-x]\n"), std::string::npos) << page;
    EXPECT_NE(page.find("\n\\&.so /etc/passwd\n\\&'br\na\\eb\\-c\n"), std::string::npos) << page;
}

}  // namespace
