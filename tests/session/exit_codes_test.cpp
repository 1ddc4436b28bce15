// The README's table of exit codes against the tools' own table, row for row.

#include "tools/session/exit_codes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace wt::session;

// The cells of each row of the README's table headed by "| Exit code |".
std::vector<std::vector<std::string>> readmeExitCodeRows() {
    std::ifstream readme(WT_README);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    bool inTable = false;
    while (std::getline(readme, line)) {
        if (line.starts_with("| Exit code |")) {
            inTable = true;
            std::getline(readme, line);  // the |---| line
            continue;
        }
        if (!inTable) continue;
        if (!line.starts_with("|")) break;
        std::vector<std::string> cells;
        for (size_t at = 1; at < line.size();) {
            const size_t end = line.find('|', at);
            std::string cell = line.substr(at, end - at);
            cell.erase(0, cell.find_first_not_of(' '));
            cell.erase(cell.find_last_not_of(' ') + 1);
            cells.push_back(cell);
            at = end + 1;
        }
        rows.push_back(cells);
    }
    return rows;
}

std::string toolsOf(const ExitCodeRow& row) {
    std::string names;
    for (unsigned tool = 0; tool < std::size(kToolNames); ++tool) {
        if ((row.tools & toolBit(static_cast<Tool>(tool))) == 0) continue;
        names += (names.empty() ? "" : ", ") + std::string(kToolNames[tool]);
    }
    return names;
}

TEST(ExitCodes, ReadmeTableIsTheToolsTable) {
    const std::vector<std::vector<std::string>> readme = readmeExitCodeRows();
    ASSERT_EQ(readme.size(), std::size(kExitCodes)) << "rows in the README's table";
    for (size_t i = 0; i < readme.size(); ++i) {
        const ExitCodeRow& row = kExitCodes[i];
        const std::vector<std::string> expected = {std::to_string(static_cast<int>(row.code)),
                                                   row.meaning, toolsOf(row)};
        EXPECT_EQ(readme[i], expected) << "README row " << i;
    }
}

}  // namespace
