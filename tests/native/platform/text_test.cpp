#include "platform/Text.h"

#include <gtest/gtest.h>

namespace orvitex {
namespace {

TEST(Text, HangulRoundTripsBetweenUtf8AndUtf16) {
    const std::u16string hangul = u"오르비설치 C:\\오르비설치";
    EXPECT_EQ(FromUtf8(ToUtf8(hangul)), hangul);
    EXPECT_EQ(ToUtf8(u"굴림"), "\xEA\xB5\xB4\xEB\xA6\xBC");
}

TEST(Text, SurrogatePairsBecomeFourByteSequences) {
    const std::u16string clef = u"\U0001D11E";
    ASSERT_EQ(clef.size(), 2u);
    EXPECT_EQ(ToUtf8(clef), "\xF0\x9D\x84\x9E");
    EXPECT_EQ(FromUtf8("\xF0\x9D\x84\x9E"), clef);
}

TEST(Text, MalformedInputBecomesReplacementCharacters) {
    struct Case {
        const char* name;
        std::string utf8;
    };
    const Case cases[] = {
        {"lone continuation byte", "\x80"},      {"truncated sequence", "\xEA\xB5"},
        {"overlong slash", "\xC0\xAF"},          {"encoded surrogate", "\xED\xA0\x80"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::u16string decoded = FromUtf8(c.utf8);
        ASSERT_FALSE(decoded.empty());
        EXPECT_EQ(decoded.front(), u'\xFFFD');
    }
    EXPECT_EQ(ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Text, OnlyUnpairedSurrogatesAreReplaced) {
    const std::u16string pair = u"\U0001D11E";
    EXPECT_EQ(WithoutLoneSurrogates(u"a" + pair + u"b"), u"a" + pair + u"b");
    EXPECT_EQ(WithoutLoneSurrogates(std::u16string(u"a\xD834")), u"a\xFFFD");  // high at the end
    EXPECT_EQ(WithoutLoneSurrogates(std::u16string(u"\xDD1E'")), u"\xFFFD'");  // low alone
    EXPECT_EQ(WithoutLoneSurrogates(std::u16string(u"\xDD1E\xD834")), u"\xFFFD\xFFFD");  // reversed
}

TEST(Text, NumbersUseTheirPlainDecimalForm) {
    EXPECT_EQ(ToText(std::int64_t{-2147467259}), u"-2147467259");
    EXPECT_EQ(ToText(std::int64_t{0}), u"0");
    EXPECT_EQ(ToText(1.5), u"1.5");
    EXPECT_EQ(AsciiLower(u"Provider=SQLOLEDB 가"), u"provider=sqloledb 가");
}

}  // namespace
}  // namespace orvitex
