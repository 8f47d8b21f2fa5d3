#include "components/in/inmodel.h"

#include <algorithm>
#include <cstdlib>

namespace komp {

void TInModel::Clamp() {
  const int n = Length();
  cursor_ = std::clamp(cursor_, 0, n);
  selStart_ = std::clamp(selStart_, 0, n);
  selLength_ = std::clamp(selLength_, 0, n - selStart_);
  scroll_ = std::clamp(scroll_, 0, n);
}

void TInModel::Insert(int at, std::string_view s) {
  text_.insert(size_t(at), s);
  shadow_.insert(size_t(at), s.size(), '*');
}

void TInModel::Erase(int at, int n) {
  text_.erase(size_t(at), size_t(n));
  shadow_.erase(size_t(at), size_t(n));
}

void TInModel::SetText(std::string text) {
  text_ = std::move(text);
  shadow_.assign(text_.size(), '*');
  if (selLength_ > 0) Modified = false;
  selLength_ = 0;
  scroll_ = 0;
  Clamp();
}

void TInModel::Reset(std::string text) {
  text_ = std::move(text);
  shadow_.assign(text_.size(), '*');
  cursor_ = selStart_ = selLength_ = scroll_ = 0;
  Modified = false;
}

void TInModel::SetCursor(int pos) { cursor_ = std::clamp(pos, 0, Length()); }

void TInModel::Select(int anchor, int pos) {
  anchor = std::clamp(anchor, 0, Length());
  pos = std::clamp(pos, 0, Length());
  selStart_ = std::min(anchor, pos);
  selLength_ = std::abs(anchor - pos);
}

void TInModel::SelectAll() {
  selStart_ = 0;
  selLength_ = Length();
  cursor_ = Length();
}

int TInModel::Anchor() const {
  if (!HasSelection()) return cursor_;
  return cursor_ == selStart_ ? selStart_ + selLength_ : selStart_;
}

bool TInModel::Move(TMove where, bool extend) {
  const int anchor = Anchor();
  const int oldStart = selStart_, oldLength = selLength_;
  int to = cursor_;
  switch (where) {
    case TMove::Left: to = cursor_ - 1; break;
    case TMove::Right: to = cursor_ + 1; break;
    case TMove::Home: to = 0; break;
    case TMove::End: to = Length(); break;
  }
  cursor_ = std::clamp(to, 0, Length());
  if (extend) Select(anchor, cursor_);
  else selLength_ = 0;
  if (oldLength == 0 && selLength_ == 0) return false;
  return oldStart != selStart_ || oldLength != selLength_;
}

int TInModel::DelSelect() {
  if (selLength_ > 0) Erase(selStart_, selLength_);
  selLength_ = 0;
  cursor_ = selStart_;
  Clamp();
  return selStart_;
}

bool TInModel::Backspace() {
  if (HasSelection()) {
    DelSelect();
  } else {
    if (cursor_ == 0) return false;
    Erase(cursor_ - 1, 1);
    --cursor_;
    Clamp();
  }
  Modified = true;
  return true;
}

bool TInModel::Delete() {
  if (HasSelection()) {
    DelSelect();
  } else {
    if (cursor_ >= Length()) return false;
    Erase(cursor_, 1);
    Clamp();
  }
  Modified = true;
  return true;
}

TInModel::TypeResult TInModel::Type(char ch) {
  if (HasSelection()) {
    DelSelect();
    Modified = true;
  }
  if ((MaxLength > 0 && Length() >= MaxLength) || (Numeric && !NumericChar(ch))) return TypeResult::Refused;
  Insert(cursor_, std::string_view(&ch, 1));
  ++cursor_;
  Modified = true;
  return TypeResult::Inserted;
}

bool TInModel::Paste(const std::string& clip) {
  if (HasSelection()) DelSelect();
  Insert(cursor_, clip);
  cursor_ += int(clip.size());
  bool cut = false;
  if (MaxLength > 0 && Length() > MaxLength) {
    Erase(MaxLength, Length() - MaxLength);
    cut = true;
  }
  Clamp();
  Modified = true;
  return cut;
}

bool TInModel::SetMaxLength(int n) {
  if (n < 0 || n == MaxLength) return false;
  MaxLength = n;
  if (n > 0 && Length() > n) {
    Erase(n, Length() - n);
    Clamp();
  }
  return true;
}

int TInModel::VisibleWidth(int to, const Measure& width) const {
  const std::string& s = Shown();
  to = std::clamp(to, scroll_, Length());
  return width(std::string_view(s).substr(size_t(scroll_), size_t(to - scroll_)));
}

bool TInModel::ScrollToCursor(int room, const Measure& width) {
  const int old = scroll_;
  if (scroll_ > 0 && cursor_ <= scroll_) {
    // One character stays visible left of the cursor.
    scroll_ = Length() < scroll_ ? Length() / 2 : scroll_ - 1;
    // A jump further left (a shorter text, a cursor set from code) must not hide the cursor.
    if (cursor_ <= scroll_) scroll_ = std::max(0, cursor_ - 1);
  }
  if (cursor_ - scroll_ > 64) {
    // A long jump (a big paste): walk back from the cursor first instead of measuring
    // ever longer strings one character at a time.
    const std::string_view v(Shown());
    int sum = 0, c = cursor_;
    while (c > scroll_ && sum <= room) sum += width(v.substr(size_t(--c), 1));
    scroll_ = std::max(scroll_, c - 2);
  }
  while (scroll_ < cursor_ && VisibleWidth(cursor_, width) > room) ++scroll_;
  return scroll_ != old;
}

int TInModel::HitTest(int x, const Measure& width) const {
  const std::string& s = Shown();
  const std::string_view v(s);
  for (int i = scroll_; i < Length(); ++i) {
    const int left = 4 + width(v.substr(size_t(scroll_), size_t(i - scroll_)));
    const int w = width(v.substr(size_t(i), 1));
    if (left + w / 2 > x) return i;
  }
  return Length();
}

}  // namespace komp
