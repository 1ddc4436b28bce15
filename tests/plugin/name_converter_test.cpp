// The UTF-16 to UTF-8 converter against byte sequences worked out by hand.

#include "plugin/name_converter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Converted {
    int result;
    bool gotString;
    std::string text;
};

Converted convert(const char16_t* text) {
    char* utf8 = reinterpret_cast<char*>(&utf8);  // must be overwritten either way
    const int result = wt::utf16ToUtf8(text, &utf8);
    Converted converted{result, utf8 != nullptr, utf8 != nullptr ? utf8 : ""};
    std::free(utf8);
    return converted;
}

TEST(NameConverter, EncodesEachSequenceLength) {
    const struct {
        const char16_t* wide;
        const char* utf8;
    } cases[] = {
        {u"", ""},
        {u"MOR-LEX Wacky Throats 1.0", "MOR-LEX Wacky Throats 1.0"},
        {u"\u007F\u0080", "\x7F\xC2\x80"},      // last 1-byte, first 2-byte
        {u"\u00E4\u07FF", "\xC3\xA4\xDF\xBF"},  // a umlaut, last 2-byte
        {u"\u0800\u20AC\uFFFF", "\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBF"},  // 3-byte range
        {u"\U00010000", "\xF0\x90\x80\x80"},                              // first surrogate pair
        {u"a\U0001F600b",
         "a\xF0\x9F\x98\x80"
         "b"},                                // pair between others
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},  // last code point
    };

    for (const auto& c : cases) {
        const Converted converted = convert(c.wide);
        EXPECT_EQ(converted.result, 0) << c.utf8;
        EXPECT_TRUE(converted.gotString);
        EXPECT_EQ(converted.text, c.utf8);
    }
}

const char16_t kLoneHigh[] = {u'a', 0xD800, 0};
const char16_t kHighThenOther[] = {0xDBFF, u'x', 0};
const char16_t kLoneLow[] = {0xDC00, u'a', 0};
const char16_t kSwapped[] = {0xDC00, 0xD800, 0};

#if defined(_WIN32)

// The system's converter, called without flags, stands U+FFFD in for each such unit.
TEST(NameConverter, ReplacesSurrogatesOutsideAPair) {
    const struct {
        const char16_t* wide;
        const char* utf8;
    } cases[] = {
        {kLoneHigh, "a\xEF\xBF\xBD"},
        {kHighThenOther, "\xEF\xBF\xBDx"},
        {kLoneLow,
         "\xEF\xBF\xBD"
         "a"},
        {kSwapped, "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };

    for (const auto& c : cases) {
        const Converted converted = convert(c.wide);
        EXPECT_EQ(converted.result, 0);
        EXPECT_EQ(converted.text, c.utf8);
    }
}

#else

TEST(NameConverter, RejectsSurrogatesOutsideAPairAndHandsBackNoString) {
    for (const char16_t* text : {kLoneHigh, kHighThenOther, kLoneLow, kSwapped}) {
        const Converted converted = convert(text);
        EXPECT_EQ(converted.result, -1);
        EXPECT_FALSE(converted.gotString);
    }
}

#endif

TEST(NameConverter, NullArgumentsFail) {
    EXPECT_EQ(convert(nullptr).result, -1);
    EXPECT_FALSE(convert(nullptr).gotString);
    EXPECT_EQ(wt::utf16ToUtf8(u"x", nullptr), -1);
}

}  // namespace
