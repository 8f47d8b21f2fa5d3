// Checkpoints: the state of a run at its page starts, and runs that begin at one of them.
//
//   TLayoutCheckpoints   the kept states, thinned to a memory budget
//   Checkpoint           taken by the walk right after a page break of the top-level walk
//   RunFrom, Restore     put the model and the run back to a kept state and go on from there
//
// What a run changes: its own walk (frames, cursors, the object that broke the page), offsets,
// group mask, record-used flags; in the model the tables' current records, the variables'
// values, and per object the remembered value, the page last drawn on and the lines owed.
#include <algorithm>

#include "components/druckreport/layout_internal.h"

namespace komp {

TLayoutCheckpoints::TLayoutCheckpoints() = default;
TLayoutCheckpoints::~TLayoutCheckpoints() = default;

void TLayoutCheckpoints::Clear() {
  entries_.clear();
  interval_ = 1;
  bytes_ = 0;
}

const TLayoutCheckpoints::Entry* TLayoutCheckpoints::Find(int32_t page) const {
  auto it = std::upper_bound(entries_.begin(), entries_.end(), page,
                             [](int32_t p, const std::unique_ptr<Entry>& e) { return p < e->page; });
  return it == entries_.begin() ? nullptr : std::prev(it)->get();
}

int32_t TLayoutCheckpoints::Nearest(int32_t page) const {
  const Entry* e = Find(page);
  return e ? e->page : 0;
}

int32_t TLayoutCheckpoints::Last() const { return entries_.empty() ? 0 : entries_.back()->page; }

void TLayoutCheckpoints::Add(std::unique_ptr<Entry> e) {
  if (!entries_.empty() && e->page <= entries_.back()->page) return;
  if (!entries_.empty() && e->page < entries_.back()->page + interval_) return;
  bytes_ += e->bytes;
  entries_.push_back(std::move(e));
  while (bytes_ > budget && entries_.size() > 1) {
    // Every second state goes; the last one stays, it is where a suspended count goes on.
    std::vector<std::unique_ptr<Entry>> kept;
    bytes_ = 0;
    for (size_t i = 0; i < entries_.size(); ++i)
      if (i % 2 == 1 || i + 1 == entries_.size()) {
        bytes_ += entries_[i]->bytes;
        kept.push_back(std::move(entries_[i]));
      }
    entries_ = std::move(kept);
    interval_ *= 2;
  }
}

void TReportLayout::Checkpoint(const WalkState& w) {
  if (!keep_) return;
  if (keep_->Last() > 0 && page_ < keep_->Last() + keep_->Interval()) return;
  auto e = std::make_unique<TLayoutCheckpoints::Entry>();
  e->page = page_;
  e->walk = w;
  e->xoff = xoff_;
  e->yoff = yoff_;
  e->steps = steps_;
  e->groups = groups_;
  std::copy(std::begin(used_), std::end(used_), e->used);
  e->placed = placedSinceBreak_;
  for (int n = 1; n <= 3; ++n)
    if (TStringTab* t = m_.GetDatenTab(n)) e->rows[n] = t->RecordRow();
  size_t bytes = sizeof(*e) + w.stack.size() * sizeof(Act) + w.p.value.size() + w.p.bild.size();
  e->vars.reserve(m_.Variablen().size());
  for (const FVar& v : m_.Variablen()) {
    e->vars.push_back(v);
    bytes += sizeof(FVar) + v.Name.size() + v.Wert.size();
  }
  e->objs.reserve(obj_.size());
  for (const DruckReport_Struct* o : obj_) {
    e->objs.push_back({o->Wert, o->LetzteSeite, o->Restzeilen});
    bytes += sizeof(TLayoutCheckpoints::Entry::Obj) + (o->Wert ? o->Wert->size() : 0);
  }
  e->bytes = bytes;
  keep_->Add(std::move(e));
}

bool TReportLayout::Restore(const TLayoutCheckpoints::Entry& e, WalkState& w) {
  if (e.objs.size() != obj_.size()) return false;
  for (size_t i = 0; i < obj_.size(); ++i) {
    obj_[i]->Wert = e.objs[i].wert;
    obj_[i]->LetzteSeite = e.objs[i].letzte;
    obj_[i]->Restzeilen = e.objs[i].rest;
  }
  // Variables are only ever added during a run, and the model indexes them: values are put
  // back in place; one made after the state was kept is empty again, as at a run's start.
  size_t i = 0;
  for (FVar& v : m_.Variablen()) {
    if (i < e.vars.size() && e.vars[i].Name == v.Name) {
      v.Wert = e.vars[i].Wert;
      v.Zahl = e.vars[i].Zahl;
    } else {
      v.Wert.clear();
    }
    ++i;
  }
  for (int n = 1; n <= 3; ++n)
    if (TStringTab* t = m_.GetDatenTab(n)) t->SetZeile(e.rows[n]);
  w = e.walk;
  page_ = e.page;
  xoff_ = e.xoff;
  yoff_ = e.yoff;
  steps_ = e.steps;
  groups_ = e.groups;
  std::copy(std::begin(e.used), std::end(e.used), used_);
  placedSinceBreak_ = e.placed;
  return true;
}

bool TReportLayout::RunFrom(const TLayoutCheckpoints& store, int32_t page, int32_t pageCount) {
  const TLayoutCheckpoints::Entry* e = store.Find(page);
  if (!e) return false;
  pageCount_ = pageCount == kUnknownCount ? kUnknownCount : std::max<int32_t>(1, pageCount);
  Index();
  WalkState w;
  if (!Restore(*e, w)) return false;
  suspended_ = false;
  abort_ = gone_ = false;
  topWalk_ = &w;
  Continue(w);
  topWalk_ = nullptr;
  return true;
}

}  // namespace komp
