// Feeds arbitrary text to SetReportdaten. Message boxes are answered without a person: the
// first byte decides whether unknown words are answered with OK or Cancel. Also feeds the text
// arithmetic, which later runs on table cells.
#include <QApplication>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "components/druckreport/druckreport.h"
#include "framework/gui/application.h"
#include "framework/gui/services.h"

namespace {

class Boxes : public komp::IMessageBoxes {
 public:
  int answer = komp::IDOK;
  int Show(const std::string& text, const std::string& caption, int, int) override {
    if (text.empty() || caption.empty()) __builtin_trap();
    return answer;
  }
};

Boxes* boxes;
komp::TServiceOverride* installed;
komp::TDruckReport* report;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "fuzz_druckreport";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  komp::InitFramework();
  boxes = new Boxes;
  komp::TServices s;
  s.MessageBoxes = boxes;
  installed = new komp::TServiceOverride(s);
  report = new komp::TDruckReport(nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  boxes->answer = size > 0 && (data[0] & 1) ? komp::IDCANCEL : komp::IDOK;
  report->SetReportdaten(text.c_str());

  // The object list is finite and every parent is an object of the list.
  size_t n = 0;
  for (auto* o = report->ErstesObjekt(); o; o = o->Next)
    if (++n > size + 1) __builtin_trap();
  for (int t = 1; t <= 3; ++t)
    if (auto* tab = report->GetDatenTab(t)) tab->GetCell(tab->GetRowCount(true) - 1, 0);

  size_t cut = text.find('\n');
  std::string a = text.substr(0, cut), b = cut == std::string::npos ? "" : text.substr(cut + 1);
  const char* sum = report->AddStr(a.c_str(), b.c_str(), size & 2);
  if (!sum) __builtin_trap();
  sum = report->AddStr(sum, sum, true);
  if (komp::TDruckReport::Str_in_Zahl(sum) < 0) __builtin_trap();
  return 0;
}
