#include "tools/session/help_text.h"

#include <algorithm>
#include <cstdio>

namespace wt::session {

namespace {

constexpr size_t kIndent = 2;              // before a flag or a code
constexpr size_t kDescriptionColumn = 20;  // where an option's description starts
constexpr size_t kMeaningColumn = 6;       // where an exit code's meaning starts

// `text` cut at blanks into lines that start at `column` and end by kHelpWidth; the first
// line continues whatever `out` already holds up to `column`.
void appendWrapped(std::string& out, const std::string& text, size_t column) {
    size_t lineStart = out.rfind('\n') + 1;  // npos + 1 == 0: out holds no line yet
    size_t at = 0;
    bool lineEmpty = true;
    while (at < text.size()) {
        const size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        const size_t width = out.size() - lineStart;
        if (!lineEmpty && width + 1 + word.size() > kHelpWidth) {
            out += '\n';
            lineStart = out.size();
            out.append(column, ' ');
            lineEmpty = true;
        }
        if (!lineEmpty) out += ' ';
        out += word;
        lineEmpty = false;
        at = end + 1;
    }
    out += '\n';
}

}  // namespace

OptionRow effectOption() {
    return {"--effect", "NAME",
            "an effect from the plugin's menu, case ignored (\"Robot\", \"space voice 2\", "
            "...) or \"none\" (default); --list shows them"};
}

OptionRow strengthOption() {
    return {"--strength", "S",
            "0, 0.25 (default), 0.5, 0.75 or 1: the strengths the menu's increase and "
            "decrease items reach from the start value 0.25"};
}

OptionRow pluginOption() {
    return {"--plugin", "PATH",
            "the plugin library (default: the one built beside this tool, or the one installed "
            "with it)"};
}

OptionRow versionOption() {
    return {"--version", "", "show the plugin's name and version, as it reports them, then exit"};
}

OptionRow helpOption() {
    return {"--help, -h", "", "show this text, then exit"};
}

std::string optionRows(std::span<const OptionRow> rows) {
    std::string out = "Options:\n";
    for (const OptionRow& row : rows) {
        std::string head = std::string(kIndent, ' ') + row.flag;
        if (!row.argument.empty()) head += ' ' + row.argument;
        // A head too wide for its column puts the description on the next line.
        if (head.size() >= kDescriptionColumn) head += '\n';
        out += head;
        out.append(kDescriptionColumn - (out.size() - out.rfind('\n') - 1), ' ');
        appendWrapped(out, row.description, kDescriptionColumn);
    }
    return out;
}

std::string exitCodeRows(Tool tool) {
    std::string out = "Exit codes:\n";
    for (const ExitCodeRow& row : kExitCodes) {
        if ((row.tools & toolBit(tool)) == 0) continue;
        char code[kMeaningColumn + 1];
        std::snprintf(code, sizeof code, "%*s%-*d", static_cast<int>(kIndent), "",
                      static_cast<int>(kMeaningColumn - kIndent), static_cast<int>(row.code));
        out += code;
        appendWrapped(out, row.meaning, kMeaningColumn);
    }
    return out;
}

}  // namespace wt::session
