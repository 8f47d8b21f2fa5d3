#include "framework/clipformat.h"

#include <charconv>
#include <cstdio>

namespace komp {

namespace {
std::string Pad10(size_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%010zu", v);
  return buf;
}

bool ReadOffset(std::string_view payload, std::string_view key, size_t& out) {
  const size_t at = payload.find(key);
  if (at == std::string_view::npos) return false;
  size_t i = at + key.size();
  size_t end = i;
  while (end < payload.size() && payload[end] >= '0' && payload[end] <= '9') ++end;
  long long v = 0;
  if (end == i || std::from_chars(payload.data() + i, payload.data() + end, v).ec != std::errc() || v < 0)
    return false;
  out = size_t(v);
  return true;
}
}  // namespace

std::string MakeHtmlFormat(std::string_view fragment) {
  const std::string pre = "<html><body>\r\n<!--StartFragment-->";
  const std::string post = "<!--EndFragment-->\r\n</body></html>";
  const std::string headerTemplate =
      "Version:0.9\r\nStartHTML:0000000000\r\nEndHTML:0000000000\r\n"
      "StartFragment:0000000000\r\nEndFragment:0000000000\r\n";
  const size_t startHtml = headerTemplate.size();
  const size_t startFrag = startHtml + pre.size();
  const size_t endFrag = startFrag + fragment.size();
  const size_t endHtml = endFrag + post.size();
  std::string out = "Version:0.9\r\nStartHTML:" + Pad10(startHtml) + "\r\nEndHTML:" + Pad10(endHtml) +
                    "\r\nStartFragment:" + Pad10(startFrag) + "\r\nEndFragment:" + Pad10(endFrag) + "\r\n";
  out += pre;
  out += fragment;
  out += post;
  return out;
}

std::string HtmlFromHtmlFormat(std::string_view payload) {
  size_t start = 0, end = 0;
  if (!ReadOffset(payload, "StartHTML:", start) || !ReadOffset(payload, "EndHTML:", end)) {
    if (!ReadOffset(payload, "StartFragment:", start) || !ReadOffset(payload, "EndFragment:", end)) return {};
  }
  if (start > end || end > payload.size()) return {};
  return std::string(payload.substr(start, end - start));
}

}  // namespace komp
