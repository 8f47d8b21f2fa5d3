// Feeds arbitrary text to the report model's parser, without a QApplication. The diagnostics
// answer without a person: the first byte decides whether unknown words go on or stop. Also
// feeds the text arithmetic, which later runs on table cells.
#include <cstdint>
#include <string>
#include <unordered_set>

#include "components/druckreport/reportmodel.h"

namespace {

class Diagnostics : public komp::IReportDiagnostics {
 public:
  bool goOn = true;
  int errors = 0;
  bool UnknownWord(const std::string& text, int64_t line) override {
    if (text.empty() || text.size() > 20 || line < 1) __builtin_trap();
    return goOn;
  }
  void ParseError(int n, int64_t line) override {
    if (n < 1 || n > komp::kReportFehlerAnzahl || line < 1 || ++errors > 1) __builtin_trap();
  }
  void OutOfMemory() override {}
  void DuplicateVariable(const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static komp::TReportModel model;
  static Diagnostics diag;
  model.SetDiagnostics(&diag);
  std::string text(reinterpret_cast<const char*>(data), size);
  diag.goOn = !(size > 0 && (data[0] & 1));
  diag.errors = 0;
  if (!model.SetReportdaten(text.c_str())) __builtin_trap();

  // The outcome code reads agrees with what was told.
  komp::TReportError e = model.LastError();
  if ((e.Number > 0) != (diag.errors == 1)) __builtin_trap();
  if (e.Number == komp::rfAbgebrochen && diag.goOn) __builtin_trap();
  if (e.Number != 0 && (e.Line < 1 || e.Line > int64_t(size) + 1)) __builtin_trap();

  // The object list is finite and every parent is a frame of the list.
  std::unordered_set<const komp::DruckReport_Struct*> objects;
  for (auto* o = model.ErstesObjekt(); o; o = o->Next)
    if (!objects.insert(o).second || objects.size() > size + 1) __builtin_trap();
  for (auto* o : objects)
    if (o->Parent && (!objects.count(o->Parent) ||
                      (o->Parent->Typ != komp::typFrame && o->Parent->Typ != komp::typSeitenframe)))
      __builtin_trap();
  for (int t = 1; t <= 3; ++t)
    if (auto* tab = model.GetDatenTab(t)) tab->GetCell(tab->GetRowCount(true) - 1, 0);

  size_t cut = text.find('\n');
  std::string a = text.substr(0, cut), b = cut == std::string::npos ? "" : text.substr(cut + 1);
  const char* sum = model.AddStr(a.c_str(), b.c_str(), size & 2);
  if (!sum) __builtin_trap();
  sum = model.AddStr(sum, sum, true);
  if (komp::TReportModel::Str_in_Zahl(sum) < 0) __builtin_trap();
  return 0;
}
