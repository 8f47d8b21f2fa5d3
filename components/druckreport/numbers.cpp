// Text arithmetic of report variables: numbers are decimal texts with a "," or "." and are
// added digit by digit, so that sums of amounts stay exact.
#include <algorithm>
#include <cstring>

#include "components/druckreport/reportmodel.h"

namespace komp {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with at most one separator; the empty text counts as a number.
bool IsNumber(const char* s) {
  int separators = 0;
  for (; *s; ++s) {
    if (*s == ',' || *s == '.') {
      if (++separators > 1) return false;
    } else if (!IsDigit(*s)) {
      return false;
    }
  }
  return true;
}

struct Parts {
  std::string_view whole, fraction;
  bool separator = false;
};

Parts Split(const char* s) {
  std::string_view v(s);
  size_t p = v.find_first_of(",.");
  if (p == std::string_view::npos) return {v, {}, false};
  return {v.substr(0, p), v.substr(p + 1), true};
}

// The decimal sum of two numbers, aligned at their separators.
std::string Sum(const char* a, const char* b) {
  Parts x = Split(a), y = Split(b);
  size_t fr = std::max(x.fraction.size(), y.fraction.size());
  size_t wh = std::max(x.whole.size(), y.whole.size());
  auto digit = [](std::string_view d, size_t i) { return i < d.size() ? d[i] - '0' : 0; };
  std::string out(wh + fr, '0');
  int carry = 0;
  for (size_t i = fr; i-- > 0;) {
    int s = digit(x.fraction, i) + digit(y.fraction, i) + carry;
    out[wh + i] = char('0' + s % 10);
    carry = s / 10;
  }
  for (size_t i = 0; i < wh; ++i) {
    // i-th digit from the right of each whole part
    int dx = i < x.whole.size() ? x.whole[x.whole.size() - 1 - i] - '0' : 0;
    int dy = i < y.whole.size() ? y.whole[y.whole.size() - 1 - i] - '0' : 0;
    int s = dx + dy + carry;
    out[wh - 1 - i] = char('0' + s % 10);
    carry = s / 10;
  }
  std::string result;
  result.reserve(out.size() + 2);
  if (carry) result += '1';
  result.append(out, 0, wh);
  if (x.separator || y.separator) {
    result += ',';
    result.append(out, wh, fr);
  }
  return result;
}

}  // namespace

int TReportModel::Str_in_Zahl(const char* a) {
  if (!a) return 0;
  uint32_t value = 0;  // 32-bit arithmetic: long digit runs wrap, and a negative result is 0
  bool separator = false;
  for (int i = 0; i < 16 && a[i]; ++i) {
    char c = a[i];
    if (IsDigit(c)) {
      value = value * 10u + uint32_t(c - '0');
    } else if (c == ',' || c == '.') {
      if (separator) break;
      separator = true;
    }
  }
  int32_t v = int32_t(value);
  return v < 0 ? 0 : v;
}

const char* TReportModel::AddStr(const char* a, const char* b, bool numeric) {
  if (!a || !b) return nullptr;
  bool na = IsNumber(a), nb = IsNumber(b);
  // Built aside first: a or b may be the previous result in the scratch buffer.
  std::string result;
  if (na && nb) {
    result = Sum(a, b);
  } else if (!numeric) {
    result = std::string(a) + b;
  } else if (nb) {
    return b;
  } else if (na) {
    return a;
  } else {
    result = "0";
  }
  scratch_ = std::move(result);
  return scratch_.c_str();
}

}  // namespace komp
