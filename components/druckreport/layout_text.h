// Text lines: GetTextzeilen wraps a text by summing the widths of its characters.
#pragma once
#include <string_view>
#include <vector>

namespace komp {

template <class Measure>
int GetTextzeilen(std::string_view text, const Measure& measure, int startLine, int64_t width,
                  std::vector<TTextzeile>& lines) {
  lines.clear();
  const size_t n = text.size();
  size_t pos = 0;
  int line = 0;
  auto keep = [&](size_t start, size_t len) {
    if (line >= startLine) lines.push_back({start, len});
    ++line;
  };
  while (pos < n) {
    while (pos < n && (text[pos] == ' ' || text[pos] == '\n' || text[pos] == '\r')) ++pos;
    if (pos >= n) break;
    const size_t start = pos;
    size_t lastSpace = std::string_view::npos;
    int64_t sum = 0;
    bool done = false;
    while (pos < n) {
      const char c = text[pos];
      if (c == '\r' || c == '\n') {
        keep(start, pos - start);
        ++pos;
        done = true;
        break;
      }
      if (c == '\\' && pos + 1 < n && text[pos + 1] == 'n') {
        keep(start, pos - start);
        pos += 2;
        done = true;
        break;
      }
      sum += measure(text.substr(pos, 1));
      if (sum > width) {
        if (lastSpace != std::string_view::npos) {
          keep(start, lastSpace - start);
          pos = lastSpace + 1;
        } else {
          // At least one character, or a glyph wider than the box would wrap for ever.
          const size_t len = pos > start ? pos - start : 1;
          keep(start, len);
          pos = start + len;
        }
        done = true;
        break;
      }
      if (c == ' ') lastSpace = pos;
      ++pos;
    }
    if (!done) keep(start, pos - start);
  }
  return int(lines.size());
}

}  // namespace komp
