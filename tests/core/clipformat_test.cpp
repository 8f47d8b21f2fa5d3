#include <gtest/gtest.h>

#include "framework/clipformat.h"

using namespace komp;

namespace {
size_t Offset(const std::string& payload, const std::string& key) {
  const size_t at = payload.find(key + ":");
  EXPECT_NE(at, std::string::npos) << key;
  return std::stoul(payload.substr(at + key.size() + 1, 10));
}
}  // namespace

TEST(HtmlFormat, OffsetsPointExactlyAtTheHtmlAndTheFragment) {
  for (const std::string& fragment : {std::string("<table><tr><td>M\xC3\xBCller</td></tr></table>"), std::string()}) {
    const std::string p = MakeHtmlFormat(fragment);
    EXPECT_EQ(p.rfind("Version:0.9\r\n", 0), 0u);
    const size_t sh = Offset(p, "StartHTML"), eh = Offset(p, "EndHTML");
    const size_t sf = Offset(p, "StartFragment"), ef = Offset(p, "EndFragment");
    EXPECT_EQ(p.substr(sh, 6), "<html>");
    EXPECT_EQ(eh, p.size());
    EXPECT_EQ(p.substr(eh - 7), "</html>");
    EXPECT_EQ(p.substr(sf, ef - sf), fragment);
    EXPECT_EQ(p.substr(sf - 20, 20), "<!--StartFragment-->");
    EXPECT_EQ(p.substr(ef, 18), "<!--EndFragment-->");
    EXPECT_EQ(HtmlFromHtmlFormat(p), p.substr(sh));
  }
}

TEST(HtmlFormat, MalformedPayloadsGiveNothingOrTheFragment) {
  EXPECT_EQ(HtmlFromHtmlFormat(""), "");
  EXPECT_EQ(HtmlFromHtmlFormat("<b>x</b>"), "");
  EXPECT_EQ(HtmlFromHtmlFormat("StartHTML:20\r\nEndHTML:10\r\n"), "") << "start after end";
  EXPECT_EQ(HtmlFromHtmlFormat("StartHTML:0\r\nEndHTML:9999\r\n"), "") << "end past the payload";
  EXPECT_EQ(HtmlFromHtmlFormat("StartHTML:\r\nEndHTML:5\r\n"), "");
  EXPECT_EQ(HtmlFromHtmlFormat("StartHTML:99999999999999999999999\r\nEndHTML:5"), "");
  // Without StartHTML (or with -1, as some programs write) the fragment is taken.
  const std::string p = "Version:1.0\r\nStartHTML:-1\r\nEndHTML:-1\r\nStartFragment:73\r\nEndFragment:83\r\n<i>abc</i>";
  ASSERT_EQ(p.size(), 83u);
  EXPECT_EQ(HtmlFromHtmlFormat(p), "<i>abc</i>");
}
