// The run state the layout files share: a frame being laid out, an object ready to place.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "components/druckreport/layout.h"

namespace komp {

struct TReportLayout::Act {
  int frame = 0;
  int end = 0;
  int cursor = 0;
  int64_t records = 0;
  int64_t record = 0;
  int columns = 1;
  int column = 1;
  int64_t bottom = 0;   // bottom limit F, 0.1 mm from the page top
  int64_t baseX = 0;    // x offset of the first column
  int64_t topY = 0;     // y offset where the columns start on this page
  int64_t recordY = 0;  // y offset at the start of the record
  int64_t extent = 0;   // height the record used so far
  int64_t savedX = 0, savedY = 0;
  int tab = 0;
  bool top = false;
  bool pageFrame = false;
  bool inPF = false;  // inside the page frame: never breaks a page
  bool first = true;
  bool full = false;  // something overflowed at the page limit: later records cannot fit
};

struct TReportLayout::Prepared {
  std::string value;  // the text to draw
  std::string bild;   // bitmap name (the else bitmap when the groups are off)
  int rest = 0;       // lines still owed from the previous page or column
};

struct TReportLayout::WalkState {
  std::vector<Act> stack;
  int cursor = 0;
  int end = 0;
  bool inPageFrame = false;
  int pending = -1;  // the object whose placement goes on after a page break
  Prepared p;
};

// Everything a run changes as it goes: its own position and the model's run state.
struct TLayoutCheckpoints::Entry {
  int32_t page = 1;
  TReportLayout::WalkState walk;
  int64_t xoff = 0, yoff = 0, steps = 0;
  uint32_t groups = 0;
  bool used[4] = {};
  bool placed = false;
  int rows[4] = {-1, -1, -1, -1};
  std::vector<FVar> vars;
  struct Obj {
    std::optional<std::string> wert;
    int32_t letzte = 0;
    int32_t rest = 0;
  };
  std::vector<Obj> objs;
  size_t bytes = 0;
};

}  // namespace komp
