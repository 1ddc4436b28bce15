#include "diagnostics/command_parser.h"

#include <cstring>

#include "plugin/text_fit.h"

namespace wt::diagnostics {

namespace {

constexpr char kSeparator = ' ';

// Every name is one non-empty token, told apart from every other name: a name with a blank
// in it, or a repeated one, could never be reached.
consteval bool everyNameReachable() {
    for (const Subcommand& entry : kSubcommands) {
        if (entry.name[0] == '\0' || entry.run == nullptr) return false;
        for (const char* c = entry.name; *c != '\0'; ++c)
            if (*c == kSeparator) return false;
        for (const Subcommand& other : kSubcommands) {
            if (&other == &entry) continue;
            const char* a = entry.name;
            const char* b = other.name;
            while (*a != '\0' && *a == *b) ++a, ++b;
            if (*a == *b) return false;
        }
    }
    return true;
}

static_assert(everyNameReachable());

const Subcommand* subcommandNamed(const char* token) {
    for (const Subcommand& entry : kSubcommands) {
        if (std::strcmp(token, entry.name) == 0) return &entry;
    }
    return nullptr;
}

// Terminates the token that starts at `cursor` and returns where the next one starts,
// or null when the line holds no further token.
char* nextToken(char*& cursor) {
    while (*cursor == kSeparator) ++cursor;
    if (*cursor == '\0') return nullptr;
    char* token = cursor;
    while (*cursor != '\0' && *cursor != kSeparator) ++cursor;
    if (*cursor != '\0') *cursor++ = '\0';
    return token;
}

}  // namespace

void parseCommand(const char* text, ParsedCommand& parsed) {
    const char* source = printable(text);
    // Cut where no character is split: the client takes every text it is handed back
    // (a password, a plugin command) as UTF-8.
    const auto length = static_cast<size_t>(fittingLength(source, kCommandSize - 1));
    std::memcpy(parsed.copy, source, length);
    parsed.copy[length] = '\0';

    parsed.subcommand = nullptr;
    parsed.first = nullptr;
    parsed.second = nullptr;

    char* cursor = parsed.copy;
    const char* name = nextToken(cursor);
    if (name == nullptr) return;
    parsed.subcommand = subcommandNamed(name);
    parsed.first = nextToken(cursor);
    if (parsed.first == nullptr) return;
    while (const char* token = nextToken(cursor)) parsed.second = token;
}

}  // namespace wt::diagnostics
