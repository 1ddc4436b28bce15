#include "tools/manual/manual_page.h"

#include <cctype>
#include <sstream>

namespace wt::manual {

namespace {

constexpr const char* kUsagePrefix = "Usage:";
constexpr const char* kOptionsHeading = "Options:";
constexpr const char* kExitCodesHeading = "Exit codes:";

std::vector<std::string> paragraphs(const std::string& text) {
    std::vector<std::string> result;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find("\n\n", at);
        if (end == std::string::npos) end = text.size();
        std::string paragraph = text.substr(at, end - at);
        while (!paragraph.empty() && paragraph.back() == '\n') paragraph.pop_back();
        if (!paragraph.empty()) result.push_back(paragraph);
        at = end + 2;
    }
    return result;
}

std::vector<std::string> lines(const std::string& paragraph) {
    std::vector<std::string> result;
    std::istringstream in(paragraph);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

std::string upper(const std::string& text) {
    std::string result = text;
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// "Usage: wacky-live [options]" and the lines under it: the name in bold, the rest as is.
void synopsis(std::ostringstream& page, const std::string& name, const std::string& usage) {
    page << ".SH SYNOPSIS\n.nf\n";
    for (std::string line : lines(usage)) {
        if (line.starts_with(kUsagePrefix)) line.erase(0, std::string(kUsagePrefix).size());
        line.erase(0, line.find_first_not_of(' '));
        if (line.starts_with(name)) {
            page << "\\fB" << roffText(name) << "\\fR" << roffText(line.substr(name.size()))
                 << "\n";
        } else {
            page << roffText(line) << "\n";
        }
    }
    page << ".fi\n";
}

}  // namespace

std::string roffText(const std::string& text) {
    std::string result;
    for (const char c : text) {
        if (c == '\\')
            result += "\\e";
        else if (c == '-')
            result += "\\-";
        else
            result += c;
    }
    if (!result.empty() && (result[0] == '.' || result[0] == '\'')) result.insert(0, "\\&");
    return result;
}

std::string manualPage(const ManualSource& source, const std::string& version) {
    std::ostringstream page;
    page << ".TH " << roffText(upper(source.name)) << " 1 \"\" \"Wacky Throats "
         << roffText(version) << "\" \"User Commands\"\n";
    page << ".SH NAME\n" << roffText(source.name) << " \\- " << roffText(source.summary) << "\n";

    bool describing = false;
    for (const std::string& paragraph : paragraphs(source.helpText)) {
        if (paragraph.starts_with(kUsagePrefix)) {
            synopsis(page, source.name, paragraph);
        } else if (!paragraph.starts_with(kOptionsHeading) &&
                   !paragraph.starts_with(kExitCodesHeading)) {
            page << (describing ? ".PP\n" : ".SH DESCRIPTION\n");
            describing = true;
            for (const std::string& line : lines(paragraph)) page << roffText(line) << "\n";
        }
    }

    if (!source.options.empty()) {
        page << ".SH OPTIONS\n";
        for (const session::OptionRow& row : source.options) {
            if (row.argument.empty())
                page << ".TP\n.B " << roffText(row.flag) << "\n";
            else
                page << ".TP\n.BI \"" << roffText(row.flag) << " \" " << roffText(row.argument)
                     << "\n";
            page << roffText(row.description) << ".\n";
        }
    }

    if (source.exitCodesOf) {
        page << ".SH EXIT STATUS\n";
        for (const session::ExitCodeRow& row : session::kExitCodes) {
            if ((row.tools & session::toolBit(*source.exitCodesOf)) == 0) continue;
            page << ".TP\n.B " << static_cast<int>(row.code) << "\n"
                 << roffText(row.meaning) << "\n";
        }
    }

    if (!source.files.empty()) {
        page << ".SH FILES\n";
        for (const auto& [path, what] : source.files)
            page << ".TP\n.I " << roffText(path) << "\n" << roffText(what) << "\n";
    }

    if (!source.seeAlso.empty()) {
        page << ".SH SEE ALSO\n";
        for (size_t i = 0; i < source.seeAlso.size(); ++i)
            page << ".BR " << roffText(source.seeAlso[i]) << " (1)"
                 << (i + 1 < source.seeAlso.size() ? "," : "") << "\n";
    }
    return page.str();
}

}  // namespace wt::manual
