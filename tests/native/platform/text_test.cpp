#include "platform/Text.h"

#include <gtest/gtest.h>

namespace orvitex {
namespace {

// Hangul is proved end to end. Bugs caught: a character beyond the BMP split in two,
// a lone surrogate written as invalid UTF-8, malformed bytes read as one or dropped.
TEST(Text, FourByteCharactersConvertAndMalformedBytesBecomeReplacements) {
    const std::u16string clef = u"\U0001D11E";
    EXPECT_EQ(ToUtf8(clef), "\xF0\x9D\x84\x9E");
    EXPECT_EQ(FromUtf8("\xF0\x9D\x84\x9E"), clef);
    EXPECT_EQ(ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
    // A lone continuation byte, a truncated sequence, an overlong slash, an
    // encoded surrogate, a code point beyond U+10FFFF.
    for (const std::string bad :
         {"\x80", "\xEA\xB5", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        SCOPED_TRACE(bad.size());
        EXPECT_EQ(FromUtf8(bad).substr(0, 1), u"\xFFFD");
    }
}

}  // namespace
}  // namespace orvitex
