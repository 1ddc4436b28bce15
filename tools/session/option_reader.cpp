#include "tools/session/option_reader.h"

#include <cerrno>
#include <cstdlib>

#include "tools/session/exit_codes.h"

namespace wt::session {

namespace {

// Any number parses; whether the menu can reach it is decided once the plugin is loaded.
double parseStrength(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') usageError("--strength takes a number, not \"" + text + "\"");
    return value;
}

}  // namespace

void usageError(const std::string& reason) {
    throw ToolError{ExitCode::Usage, reason + " (see --help)"};
}

OptionReader::OptionReader(int argc, const char* const* argv, bool operands)
    : argc_(argc), argv_(argv), operands_(operands) {}

bool OptionReader::next() {
    while (++index_ < argc_) {
        name_ = argv_[index_];
        hasInlineValue_ = false;
        operand_ = operands_ && (optionsEnded_ || name_.size() < 2 || name_[0] != '-');
        if (operand_) return true;
        if (operands_ && name_ == "--") {
            optionsEnded_ = true;
            continue;
        }
        if (const size_t equals = name_.find('='); equals != std::string::npos) {
            inlineValue_ = name_.substr(equals + 1);
            name_.resize(equals);
            hasInlineValue_ = true;
        }
        return true;
    }
    return false;
}

std::string OptionReader::value() {
    if (hasInlineValue_) return inlineValue_;
    if (index_ + 1 >= argc_) usageError(name_ + " needs a value");
    return argv_[++index_];
}

int OptionReader::wholeNumberValue(int min, int max, const std::string& what) {
    const std::string text = value();
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || number < min || number > max)
        usageError(name_ + " takes a whole number" + what + " from " + std::to_string(min) +
                   " to " + std::to_string(max) + ", not \"" + text + "\"");
    return static_cast<int>(number);
}

void OptionReader::noValue() {
    if (hasInlineValue_) usageError(name_ + " takes no value");
}

bool OptionReader::readFlag(const char* option, bool& flag) {
    if (name_ != option) return false;
    noValue();
    flag = true;
    return true;
}

bool OptionReader::readCommon(CommonOptions& options) {
    if (name_ == "--effect") {
        options.effect = value();
    } else if (name_ == "--strength") {
        options.strengthText = value();
        options.strength = parseStrength(options.strengthText);
    } else if (name_ == "--plugin") {
        options.plugin = value();
    } else {
        return readFlag("--version", options.version) || readFlag("--help", options.help) ||
               readFlag("-h", options.help);
    }
    return true;
}

}  // namespace wt::session
