// Frames and records: the flat object list seen as a tree, and the walk over it.
//
//   Index        parent and subtree end of every object, in one pass with a stack of open frames
//   Run          resets the run state and walks the whole list
//   Walk         an explicit stack of frame activations (no recursion a definition can deepen)
//   StartFrame   offsets, bottom limit, columns (automatic: trial layouts), record count
//   EndRecord    next record: step, table advance, OnRecordChange; or the frame ends
//   PageBreak    the two-page-break error, the page frame on the ending page, the new page
#include <algorithm>

#include "components/druckreport/layout_internal.h"

namespace komp {

namespace {
bool IsFrame(const DruckReport_Struct* o) {
  return o->Typ == typFrame || o->Typ == typSeitenframe;
}
}  // namespace


TReportLayout::TReportLayout(TReportModel& model, IReportOutput& out, IReportHost* host)
    : m_(model), out_(out), host_(host), guard_(model) {}

bool TReportLayout::Callback() const {
  if (!guard_.Gone()) return true;
  const_cast<TReportLayout*>(this)->gone_ = true;
  return false;
}

void TReportLayout::Index() {
  obj_.clear();
  for (auto* o = m_.ErstesObjekt(); o; o = o->Next) obj_.push_back(o);
  const int n = int(obj_.size());
  end_.assign(size_t(n), n);
  parent_.assign(size_t(n), -1);
  std::vector<int> open;  // frames whose subtree is still open
  std::vector<char> onStack(size_t(n), 0);
  std::unordered_map<const DruckReport_Struct*, int> at;
  at.reserve(size_t(n));
  for (int i = 0; i < n; ++i) {
    // A parent that is no open frame before this object makes the object top-level.
    auto it = at.find(obj_[size_t(i)]->Parent);
    const int p = it == at.end() ? -1 : it->second;
    if (p < 0 || !onStack[size_t(p)]) {
      for (int f : open) end_[size_t(f)] = i, onStack[size_t(f)] = 0;
      open.clear();
    } else {
      while (open.back() != p) {
        end_[size_t(open.back())] = i;
        onStack[size_t(open.back())] = 0;
        open.pop_back();
      }
      parent_[size_t(i)] = p;
    }
    if (IsFrame(obj_[size_t(i)])) {
      open.push_back(i);
      onStack[size_t(i)] = 1;
    }
    at.emplace(obj_[size_t(i)], i);
  }
}

bool TReportLayout::Run(int32_t pageCount) {
  pageCount_ = pageCount == kUnknownCount ? kUnknownCount : std::max<int32_t>(1, pageCount);
  Index();
  for (int n = 1; n <= 3; ++n)
    if (TStringTab* t = m_.GetDatenTab(n)) t->SetZeile(0);
  for (FVar& v : m_.Variablen()) v.Wert.clear();
  for (auto* o : obj_) o->Restzeilen = 0, o->LetzteSeite = 0;
  page_ = 1;
  xoff_ = yoff_ = 0;
  groups_ = 0;
  std::fill(std::begin(used_), std::end(used_), false);
  placedSinceBreak_ = true;  // the first page may stay empty once
  suspended_ = false;
  WalkState w;
  w.end = int(obj_.size());
  topWalk_ = &w;
  Continue(w);
  topWalk_ = nullptr;
  return !abort_ && !gone_;
}

int64_t TReportLayout::ColumnWidth(const Act& a) const {
  const auto* f = obj_[size_t(a.frame)];
  int64_t w = f->Breite >= 1 ? int64_t(f->Breite)
                             : int64_t(m_.Seitenbreite) - m_.RandRechts - m_.RandLinks - f->Links;
  return w / std::max(1, a.columns);
}

bool TReportLayout::NextColumn(Act& a) {
  if (a.column >= a.columns) return false;
  ++a.column;
  xoff_ = a.baseX + ColumnWidth(a) * (a.column - 1);
  yoff_ = a.topY;
  a.recordY = yoff_;
  a.extent = 0;
  return true;
}

int TReportLayout::TrialColumns(const Act& a) {
  // A trial changes nothing for good: variables, remembered values, tables, offsets, groups.
  struct VarState {
    FVar* v;
    std::string wert;
  };
  std::vector<VarState> vars;
  for (FVar& v : m_.Variablen()) vars.push_back({&v, v.Wert});
  std::vector<std::pair<DruckReport_Struct*, std::optional<std::string>>> werte;
  std::vector<int32_t> seiten;
  for (int i = a.frame; i < a.end; ++i) {
    werte.emplace_back(obj_[size_t(i)], obj_[size_t(i)]->Wert);
    seiten.push_back(obj_[size_t(i)]->LetzteSeite);
  }
  int rows[4] = {};
  for (int n = 1; n <= 3; ++n)
    if (TStringTab* t = m_.GetDatenTab(n)) rows[n] = t->RecordRow();
  const int64_t x = xoff_, y = yoff_;
  const uint32_t g = groups_;
  bool used[4];
  std::copy(std::begin(used_), std::end(used_), used);
  const bool placed = placedSinceBreak_;
  auto restore = [&] {
    std::vector<FVar*> known;
    for (auto& s : vars) s.v->Wert = s.wert, known.push_back(s.v);
    for (FVar& v : m_.Variablen())
      if (std::find(known.begin(), known.end(), &v) == known.end()) v.Wert.clear();
    for (size_t i = 0; i < werte.size(); ++i) {
      werte[i].first->Wert = werte[i].second;
      werte[i].first->LetzteSeite = seiten[i];
      werte[i].first->Restzeilen = 0;
    }
    for (int n = 1; n <= 3; ++n)
      if (TStringTab* t = m_.GetDatenTab(n)) t->SetZeile(rows[n]);
    xoff_ = x, yoff_ = y, groups_ = g;
    std::copy(std::begin(used), std::end(used), used_);
    placedSinceBreak_ = placed;
  };
  int result = 11;  // nothing fits in ten: the visible layout breaks pages as usual
  trial_ = true;
  trialFrame_ = a.frame;
  for (int c = 1; c <= 10; ++c) {
    restore();
    trialColumns_ = c;
    trialMissed_ = false;
    Walk(a.frame, a.end, a.inPF);
    if (gone_ || abort_) break;
    if (!trialMissed_) {
      result = c;
      break;
    }
  }
  trial_ = false;
  trialMissed_ = false;
  if (!gone_) restore();
  return result;
}

void TReportLayout::StartFrame(std::vector<Act>& stack, int f, bool inPageFrame) {
  const auto* o = obj_[size_t(f)];
  Act a;
  a.frame = f;
  a.end = end_[size_t(f)];
  a.cursor = f + 1;
  a.pageFrame = o->Typ == typSeitenframe;
  a.top = stack.empty();
  a.inPF = inPageFrame || a.pageFrame || (!stack.empty() && stack.back().inPF);
  a.savedX = xoff_;
  a.savedY = yoff_;
  if (a.pageFrame || a.top) {
    xoff_ = o->Links;
    yoff_ = o->Oben;
    if (!a.pageFrame) std::fill(std::begin(used_), std::end(used_), false);
  } else {
    xoff_ += o->Links;
    yoff_ += o->Oben;
  }
  a.baseX = xoff_;
  a.topY = a.recordY = yoff_;
  // A nested frame's limit lies below its parent's offset, not below the page top.
  a.bottom = (a.pageFrame || o->Hoehe < 1) ? int64_t(m_.Seitenhoehe) - m_.RandUnten
                                           : yoff_ + o->Hoehe + m_.RandOben;
  a.tab = o->Tabelle >= 1 && o->Tabelle <= 3 ? o->Tabelle : 0;
  TStringTab* t = a.tab ? m_.GetDatenTab(a.tab) : nullptr;
  a.records = o->Anzahl > 0 ? o->Anzahl : (o->Anzahl == 0 && t && !a.pageFrame ? t->GetRowCount(false) : 0);
  if (a.top && t) t->SetZeile(0);
  if (a.end == f + 1) a.records = std::min<int64_t>(a.records, 1);  // nothing to repeat
  a.columns = std::max(1, o->Spalten);
  if (o->Spalten == 0) a.columns = !trial_ ? TrialColumns(a) : f == trialFrame_ ? trialColumns_ : 1;
  if ((out_.Konstrukt() & 8) && out_.Draws() && !trial_) {
    const int64_t l = xoff_ + m_.RandLinks, t = yoff_ + m_.RandOben;
    out_.Hatched(0x00FFFF, DevRect(l, t, int64_t(m_.Seitenbreite) - m_.RandRechts - l, a.bottom - t), {});
  }
  stack.push_back(a);
}

bool TReportLayout::EndRecord(std::vector<Act>& stack) {
  Act& a = stack.back();
  const auto* o = obj_[size_t(a.frame)];
  a.first = false;
  groups_ = 0;
  ++a.record;
  TStringTab* t = a.tab ? m_.GetDatenTab(a.tab) : nullptr;
  if (a.record >= a.records || a.full) {
    if (t && used_[a.tab] && out_.Draws() && !trial_ && host_) {
      host_->RecordChange(a.tab, t->RecordRow() + 1);
      if (!Callback()) return false;
    }
    yoff_ = a.recordY + a.extent;
    const Act done = a;
    stack.pop_back();
    if (done.pageFrame) {
      xoff_ = done.savedX;
      yoff_ = done.savedY;
    } else if (done.top) {
      xoff_ = yoff_ = 0;
    } else {
      Act& p = stack.back();
      p.full = p.full || done.full;
      xoff_ = done.savedX;
      p.extent = std::max(p.extent, yoff_ - p.recordY);
    }
    return true;
  }
  a.recordY += o->Schrittweite > 0 ? o->Schrittweite : a.extent;
  a.extent = 0;
  yoff_ = a.recordY;
  xoff_ = a.baseX + ColumnWidth(a) * (a.column - 1);
  if (t && t->RecordRow() >= 0 && used_[a.tab]) {
    t->SetZeile(t->RecordRow() + 1);
    if (out_.Draws() && !trial_ && host_) {
      host_->RecordChange(a.tab, t->RecordRow());
      if (!Callback()) return false;
    }
  }
  a.cursor = a.frame + 1;
  return true;
}

bool TReportLayout::PageBreak(std::vector<Act>& stack, bool inPageFrame) {
  if (inPageFrame || (!stack.empty() && stack.back().inPF)) return false;
  if (trial_) {
    trialMissed_ = true;
    return false;
  }
  if ((m_.Seitenlimit != 0 && page_ >= m_.Seitenlimit) || page_ >= kMaxPages) return false;
  if (!placedSinceBreak_) {
    abort_ = true;
    if (host_) {
      host_->TwoPageBreaks();
      Callback();
    }
    return false;
  }
  // The page frame belongs to the page that ends.
  if (auto* pf = m_.Seitenframe()) {
    const auto it = std::find(obj_.begin(), obj_.end(), pf);
    if (it != obj_.end()) {
      const int64_t x = xoff_, y = yoff_;
      const uint32_t g = groups_;
      const int i = int(it - obj_.begin());
      Walk(i, end_[size_t(i)], true);
      if (abort_ || gone_) return false;
      xoff_ = x, yoff_ = y, groups_ = g;
    }
  }
  if (out_.Draws() && !out_.NewPage()) {
    abort_ = true;
    return false;
  }
  ++page_;
  placedSinceBreak_ = false;
  // Continuation pages start at the top margin, in the first column.
  for (Act& a : stack) {
    const auto* o = obj_[size_t(a.frame)];
    a.column = 1;
    a.topY = a.recordY = a.extent = 0;
    a.bottom = o->Hoehe > 0 ? int64_t(o->Oben) + o->Hoehe + m_.RandOben
                            : int64_t(m_.Seitenhoehe) - m_.RandUnten;
  }
  if (!stack.empty()) xoff_ = stack.back().baseX;
  yoff_ = 0;
  return true;
}

void TReportLayout::Walk(int first, int end, bool inPageFrame) {
  WalkState w;
  w.cursor = first;
  w.end = end;
  w.inPageFrame = inPageFrame;
  Continue(w);
}

void TReportLayout::Continue(WalkState& w) {
  std::vector<Act>& stack = w.stack;
  while (!abort_ && !gone_ && !trialMissed_ && !suspended_) {
    Act* a = stack.empty() ? nullptr : &stack.back();
    int k;
    if (w.pending >= 0) {
      // Resumed at a page start: the object that broke the page is placed on.
      k = w.pending;
      w.pending = -1;
    } else {
      if (++steps_ > maxSteps) {
        abort_ = true;
        break;
      }
      int& cur = a ? a->cursor : w.cursor;
      if (cur >= (a ? a->end : w.end)) {
        if (!a) break;
        if (!EndRecord(stack)) return;
        continue;
      }
      k = cur;
      if (IsFrame(obj_[size_t(k)])) {
        cur = end_[size_t(k)];
        StartFrame(stack, k, w.inPageFrame);
        continue;
      }
      cur = k + 1;
      w.p = Prepared{};
      if (!Prepare(k, a, w.p)) continue;
    }
    const bool inPF = w.inPageFrame || (a && a->inPF);
    for (;;) {
      const Placed r = Place(k, a, w.p, inPF);
      if (r == Placed::Done) break;
      if (r == Placed::Stop) return;
      if (a && NextColumn(*a)) continue;
      if (!PageBreak(stack, inPF)) {  // at the page limit the rest is dropped
        if (a && !inPF) a->full = true;
        break;
      }
      a = stack.empty() ? nullptr : &stack.back();
      if (&w == topWalk_ && !trial_) {
        w.pending = k;
        Checkpoint(w);
        if (expired_ && expired_()) {
          suspended_ = true;
          return;
        }
        w.pending = -1;
      }
    }
    obj_[size_t(k)]->Restzeilen = 0;
  }
}

}  // namespace komp
