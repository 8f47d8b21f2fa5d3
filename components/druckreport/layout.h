// The report layout engine: lays a TReportModel out onto an IReportOutput.
//
//   IReportHost       what the engine asks of its owner: events, bitmaps, the error box
//   GetTextzeilen     wraps a text into lines (layout_text.h)
//   TReportLayout     one run: frames and records (layout.cpp), the visibility rules and values
//                     (layout_rules.cpp), placement, breaks and drawing (layout_place.cpp)
//
// Call flow: Run -> Index (the flat object list as a tree, without recursion) -> Walk (an explicit
// stack of frame activations) -> for each object Prepare (rules, value) and Place (overflow into
// columns and pages, drawing) -> at a page break the page frame is laid out on the ending page.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "components/druckreport/output.h"
#include "components/druckreport/reportmodel.h"

namespace komp {

class IReportHost {
 public:
  virtual ~IReportHost() = default;
  virtual void RecordChange(int tab, int position) = 0;
  virtual void Format(const char* name, std::string& value) = 0;
  // The named bitmap, or null.
  virtual const TBitmap* Bild(const std::string& name) = 0;
  // Tells a person that the structure makes two page breaks in a row.
  virtual void TwoPageBreaks() = 0;
};

// One wrapped line: start and length in the text.
struct TTextzeile {
  size_t start = 0;
  size_t length = 0;
};

// Wraps `text` into lines no wider than `width` (measured by `measure`); lines before
// `startLine` are measured but not kept. A line takes at least one character.
template <class Measure>
int GetTextzeilen(std::string_view text, const Measure& measure, int startLine, int64_t width,
                  std::vector<TTextzeile>& lines);

class TReportLayout;

// Run states at page starts, so that a page can be laid out without the pages before it.
// Kept within a memory budget: when it is exceeded every second state goes and states are
// then kept every 2, 4, 8 ... pages.
class TLayoutCheckpoints {
 public:
  TLayoutCheckpoints();
  ~TLayoutCheckpoints();
  void Clear();
  bool Empty() const { return entries_.empty(); }
  // The page (from 1) of the last state at or before `page`, or 0 when there is none.
  int32_t Nearest(int32_t page) const;
  // The page of the last state kept, or 0.
  int32_t Last() const;
  int32_t Interval() const { return interval_; }
  size_t Bytes() const { return bytes_; }
  size_t budget = size_t(32) << 20;

 private:
  friend class TReportLayout;
  struct Entry;
  void Add(std::unique_ptr<Entry> e);
  const Entry* Find(int32_t page) const;
  std::vector<std::unique_ptr<Entry>> entries_;  // ascending pages
  int32_t interval_ = 1;
  size_t bytes_ = 0;
};

class TReportLayout {
 public:
  TReportLayout(TReportModel& model, IReportOutput& out, IReportHost* host);
  // Lays the report out. `pageCount` is the total shown by page-count objects; on return the
  // pages laid out. False when the run stopped: structure error, device failure, or the model was
  // freed or given another definition by a callback (then nothing of it may be touched).
  bool Run(int32_t pageCount);
  // Keeps the state at each page start in `store` (a counting run, for later page renders).
  void KeepCheckpoints(TLayoutCheckpoints* store) { keep_ = store; }
  // Asked at each page start of the run: true suspends it there (Suspended()); the store's
  // last state is where to go on.
  void SetDeadline(std::function<bool()> expired) { expired_ = std::move(expired); }
  bool Suspended() const { return suspended_; }
  // Goes on from the store's state at page `page` (Nearest), as Run would have; false when the
  // store holds no state for this definition (then nothing was done).
  bool RunFrom(const TLayoutCheckpoints& store, int32_t page, int32_t pageCount);
  // The page count a page-count object shows while it is still being counted.
  static constexpr int32_t kUnknownCount = -1;
  int32_t Pages() const { return page_; }
  bool Aborted() const { return abort_; }
  bool ModelGone() const { return gone_; }

  // Tests and the benchmark look at these.
  static constexpr int32_t kMaxPages = 100000;  // a hard stop however the limit is set
  // Records and objects one run may visit: nested frames multiply their record counts, so a
  // short definition could otherwise keep a run busy for ever. Exceeding it stops the run.
  static constexpr int64_t kMaxSteps = 50'000'000;
  int64_t maxSteps = kMaxSteps;

 private:
  friend class TLayoutCheckpoints;
  struct Act;  // a frame being laid out
  struct Prepared;
  struct WalkState;

  // ---- layout.cpp: the tree and the walk
  void Index();
  void Walk(int first, int end, bool inPageFrame);
  void Continue(WalkState& w);
  // ---- layout_resume.cpp: checkpoints
  void Checkpoint(const WalkState& w);
  bool Restore(const TLayoutCheckpoints::Entry& e, WalkState& w);
  void StartFrame(std::vector<Act>& stack, int f, bool inPageFrame);
  bool EndRecord(std::vector<Act>& stack);
  bool PageBreak(std::vector<Act>& stack, bool inPageFrame);
  bool NextColumn(Act& a);
  int64_t ColumnWidth(const Act& a) const;
  int TrialColumns(const Act& a);
  bool Callback() const;  // true when the model survived the last callback
  // ---- layout_rules.cpp
  bool Prepare(int i, Act* a, Prepared& p);
  bool Lookup(const DruckReport_Struct& o, const std::string& column, std::string& value);
  std::string DateText(bool time) const;
  // ---- layout_place.cpp
  enum class Placed { Done, Overflow, Stop };
  Placed Place(int i, Act* a, Prepared& p, bool inPageFrame);
  Placed PlaceText(DruckReport_Struct& o, Act* a, Prepared& p, int64_t left, int64_t top,
                   int64_t width, int64_t height, bool inPF);
  int DevX(int64_t p) const;
  int DevY(int64_t p) const;
  TRect DevRect(int64_t l, int64_t t, int64_t w, int64_t h) const;
  TFont FontOf(const DruckReport_Struct& o) const;

  TReportModel& m_;
  IReportOutput& out_;
  IReportHost* host_;
  TReportModel::Guard guard_;
  std::vector<DruckReport_Struct*> obj_;
  std::vector<int> end_;     // first index after the subtree of a frame
  std::vector<int> parent_;  // enclosing frame's index, -1 at top level
  std::vector<TTextzeile> lines_;

  int32_t pageCount_ = 1;
  int32_t page_ = 1;
  int64_t xoff_ = 0, yoff_ = 0;
  uint32_t groups_ = 0;
  bool used_[4] = {};
  bool placedSinceBreak_ = false;
  int64_t steps_ = 0;
  bool abort_ = false;
  bool gone_ = false;
  bool trial_ = false;  // automatic column trials: nothing is drawn, a page break is a miss
  bool trialMissed_ = false;
  int trialFrame_ = -1;
  int trialColumns_ = 1;
  TLayoutCheckpoints* keep_ = nullptr;
  std::function<bool()> expired_;
  bool suspended_ = false;
  const WalkState* topWalk_ = nullptr;  // the walk whose page breaks are page starts
};

}  // namespace komp

#include "components/druckreport/layout_text.h"
