#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace tagmora {
namespace {

TEST(TextCodec, Cp1252RoundTripsEveryByte) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += char(b);
  std::string utf8 = Cp1252ToUtf8(bytes);
  EXPECT_EQ(Utf8Length(utf8), 256u);
  EXPECT_EQ(Utf8ToCp1252(utf8), bytes);
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9f\xe9"), "\u20ac\u0178\u00e9");
}

TEST(TextCodec, Cp1252MarksWhatItCannotHold) {
  EXPECT_EQ(Utf8ToCp1252("a\u4e2d\U0001F600b\u20ac"), "a??b\x80");
  EXPECT_EQ(Utf8ToLatin1("\u00ff\u0100"), "\xff?");
  EXPECT_TRUE(IsLatin1("caf\u00e9"));
  EXPECT_FALSE(IsLatin1("\u20ac"));
}

TEST(TextCodec, Utf16WithAndWithoutMark) {
  EXPECT_EQ(Utf16ToUtf8(std::string("\xff\xfe" "A\0\xe9\0", 6)), "A\u00e9");
  EXPECT_EQ(Utf16ToUtf8(std::string("\xfe\xff\0A\0\xe9", 6)), "A\u00e9");
  EXPECT_EQ(Utf16ToUtf8(std::string("\0A", 2), true), "A");
  EXPECT_EQ(Utf16ToUtf8(std::string("A\0", 2), false), "A");
  // A surrogate pair, then a lone high surrogate, then an odd byte.
  EXPECT_EQ(Utf16ToUtf8(std::string("\xff\xfe\x3d\xd8\x00\xde\x3d\xd8x", 9)),
            "\U0001F600\uFFFD");
  std::string encoded = Utf8ToUtf16("A\U0001F600");
  EXPECT_EQ(encoded, std::string("\xff\xfe" "A\0\x3d\xd8\x00\xde", 8));
  EXPECT_EQ(Utf16ToUtf8(encoded), "A\U0001F600");
}

TEST(TextCodec, CountsAndCutsCodePoints) {
  EXPECT_EQ(Utf8Length("h\u00e9\u4e2d\U0001F600"), 4u);
  EXPECT_EQ(Utf8Left("h\u00e9\u4e2d\U0001F600", 2), "h\u00e9");
  EXPECT_EQ(Utf8Left("abc", 10), "abc");
  // Malformed bytes read as Windows-1252 characters.
  EXPECT_EQ(SanitizeUtf8("a\xe9" "b\xc3"), "a\u00e9b\u00c3");
  EXPECT_EQ(SanitizeUtf8("\xed\xa0\x80"), "\u00ed\u00a0\u20ac");
}

}  // namespace
}  // namespace tagmora
