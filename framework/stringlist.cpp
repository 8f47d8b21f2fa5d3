#include "framework/stringlist.h"

#include <algorithm>

namespace komp {

namespace {
const std::string kEmpty;
}

const std::string& TStringList::operator[](int i) const {
  if (i < 0 || i >= Count()) return kEmpty;
  return items_[size_t(i)].text;
}

void* TStringList::Objects(int i) const {
  if (i < 0 || i >= Count()) return nullptr;
  return items_[size_t(i)].object;
}

void TStringList::SetString(int i, std::string text) {
  if (i >= 0 && i < Count()) items_[size_t(i)].text = std::move(text);
}

void TStringList::SetObject(int i, void* object) {
  if (i >= 0 && i < Count()) items_[size_t(i)].object = object;
}

int TStringList::Add(std::string text, void* object) {
  items_.push_back({std::move(text), object});
  return Count() - 1;
}

void TStringList::Insert(int i, std::string text, void* object) {
  i = std::clamp(i, 0, Count());
  items_.insert(items_.begin() + i, Item{std::move(text), object});
}

void TStringList::Delete(int i) {
  if (i >= 0 && i < Count()) items_.erase(items_.begin() + i);
}

void TStringList::Exchange(int a, int b) {
  if (a >= 0 && b >= 0 && a < Count() && b < Count()) std::swap(items_[size_t(a)], items_[size_t(b)]);
}

void TStringList::Move(int from, int to) {
  if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
  Item it = std::move(items_[size_t(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(it));
}

int TStringList::IndexOf(std::string_view text) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[size_t(i)].text == text) return i;
  return -1;
}

int TStringList::IndexOfObject(const void* object) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[size_t(i)].object == object) return i;
  return -1;
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) {
    return std::lexicographical_compare(a.text.begin(), a.text.end(), b.text.begin(), b.text.end(),
                                        [](char x, char y) { return (unsigned char)x < (unsigned char)y; });
  });
}

std::string TStringList::Text() const {
  std::string out;
  for (const auto& it : items_) {
    out += it.text;
    out += "\r\n";
  }
  return out;
}

void TStringList::SetText(std::string_view text) {
  items_.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      Add(std::string(text.substr(start)));
      break;
    }
    Add(std::string(text.substr(start, end - start)));
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

std::string TStringList::CommaText() const {
  std::string out;
  for (int i = 0; i < Count(); ++i) {
    if (i) out += ',';
    const std::string& s = items_[size_t(i)].text;
    if (s.find_first_of(", \"") == std::string::npos && !s.empty()) {
      out += s;
    } else {
      out += '"';
      for (char c : s) {
        if (c == '"') out += '"';
        out += c;
      }
      out += '"';
    }
  }
  return out;
}

}  // namespace komp
