#include <gtest/gtest.h>

#include "framework/cp1252.h"
#include "framework/types.h"

using namespace komp;

TEST(Cp1252, AllBytesRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += char(b);
  const std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
  // Each byte on its own, too, so that one bad byte is named.
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, char(b));
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << "byte " << b;
    EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode((unsigned char)b)), b) << "byte " << b;
  }
}

TEST(Cp1252, KnownLettersAndUnmappableText) {
  EXPECT_EQ(Cp1252ToUtf8("\xE4\xF6\xFC\xDF"), "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F");  // äöüß
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");                                 // euro sign
  EXPECT_EQ(Cp1252ToUtf8("\x84\x93"), "\xE2\x80\x9E\xE2\x80\x9C");                 // German quotes
  EXPECT_EQ(Cp1252ToUnicode(0x9F), U'\u0178');
  EXPECT_EQ(Cp1252ToUnicode(0x81), U'\u0081');
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC" "5"), "\x80" "5");
  // Characters without a byte in 1252 become '?', one per character, whatever their length.
  EXPECT_EQ(Utf8ToCp1252("a\xE2\x86\x92" "b"), "a?b");                  // arrow, 3 bytes
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80!"), "?!");                    // emoji, 4 bytes
  EXPECT_EQ(Utf8ToCp1252("\xD0\x96"), "?");                              // Cyrillic, 2 bytes
  EXPECT_EQ(UnicodeToCp1252(U'\u2192'), -1);
  // Bytes that are not UTF-8 are taken as Latin-1, never dropped.
  EXPECT_EQ(Utf8ToCp1252("M\xFCller"), "M\xFCller");
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "\xC3");
  EXPECT_EQ(Utf8ToCp1252("x\xE2\x82"), "x\xE2\x82");
  EXPECT_EQ(Utf8ToCp1252(std::string("a\0b", 3)), std::string("a\0b", 3));
  // Overlong and out-of-range forms are bytes, never the characters they would spell.
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAE\xC0\xAE\xC0\xAF"), "\xC0\xAE\xC0\xAE\xC0\xAF");  // "../"
  EXPECT_EQ(Utf8ToCp1252("\xE0\x80\xAF"), "\xE0\x80\xAF");
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "\xED\xA0\x80");  // a lone surrogate
  EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80"), "\xF4\x90\x80\x80");
}

TEST(Colors, SystemColorsResolveThroughOneTable) {
  EXPECT_EQ(ColorToRGB(clBtnFace), FromRGBHex(0xD4D0C8));
  EXPECT_EQ(ColorToRGB(clHighlight), FromRGBHex(0x0A246A));
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(ColorToRGB(0x80000040), clBlack) << "unknown system colour";
  EXPECT_EQ(FromRGBHex(0xFF0000), clRed);
  EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
  EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
  const TRect r{10, 20, 30, 40};
  EXPECT_TRUE(r.Contains({10, 20}));
  EXPECT_FALSE(r.Contains({30, 20})) << "right edge is exclusive";
  EXPECT_FALSE(r.Contains({10, 40})) << "bottom edge is exclusive";
  EXPECT_TRUE(r.Intersect({30, 20, 50, 40}).IsEmpty());
  EXPECT_EQ(r.Intersect({25, 0, 50, 25}), (TRect{25, 20, 30, 25}));
}
