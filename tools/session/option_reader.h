#pragma once

#include <string>

#include "tools/session/menu_choice.h"

// The command line every tool that drives the plugin reads the same way: "--name=value"
// and "--name value" both work for options that take a value, and the options every tool
// has mean the same in each.
namespace wt::session {

// The options every tool has: the plugin, its effect and strength, --version and --help.
struct CommonOptions {
    std::string effect = kNoEffect;
    std::string strengthText = "0.25";  // as typed, for messages
    double strength = 0.25;
    std::string plugin;  // empty: the library beside the tool
    bool version = false;
    bool help = false;
};

// Throws ToolError (ExitCode::Usage) with `reason` and a pointer to --help.
[[noreturn]] void usageError(const std::string& reason);

// Walks argv[1..argc) one argument at a time. Throws ToolError (ExitCode::Usage) from
// value(), noValue() and readCommon() on a missing, unwanted or bad value.
class OptionReader {
  public:
    // With `operands`, an argument that does not start with '-' (or is "-" alone), and
    // every one after "--", is an operand; without, every argument is read as an option.
    OptionReader(int argc, const char* const* argv, bool operands);

    // Moves to the next argument, past a "--" that ends the options; false after the last.
    bool next();

    // Whether the current argument is an operand; name() is then the whole of it.
    bool operand() const { return operand_; }

    // The current option without its "=value", or the operand.
    const std::string& name() const { return name_; }

    // The option's value: after its '=', or else the next argument, which is consumed.
    std::string value();

    // value() as a whole number from `min` to `max`; any other value is refused as
    // "NAME takes a whole number<what> from MIN to MAX", `what` being, say, " of frames".
    int wholeNumberValue(int min, int max, const std::string& what = "");

    // Refuses an "=value" on an option that takes none.
    void noValue();

    // Sets `flag` if the current option is `option` (which takes no value); false otherwise.
    bool readFlag(const char* option, bool& flag);

    // Reads the current option into `options` if it is one of theirs; false otherwise.
    bool readCommon(CommonOptions& options);

  private:
    int argc_;
    const char* const* argv_;
    bool operands_;
    int index_ = 0;
    bool optionsEnded_ = false;
    bool operand_ = false;
    std::string name_;
    std::string inlineValue_;
    bool hasInlineValue_ = false;
};

}  // namespace wt::session
