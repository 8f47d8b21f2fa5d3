// How fast the report model reads large definitions: inline table rows and objects, each at
// growing sizes, so that linear growth shows as a steady rate per byte. The model alone, without
// a widget or QApplication: what is measured is the parser, not the control around it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "components/druckreport/reportmodel.h"

namespace {

// Counts whatever would have reached a person; a sound definition reaches nobody.
class CountingDiagnostics : public komp::IReportDiagnostics {
 public:
  int shown = 0;
  bool UnknownWord(const std::string&, int64_t) override { return ++shown, true; }
  void ParseError(int, int64_t) override { ++shown; }
  void OutOfMemory() override { ++shown; }
  void DuplicateVariable(const std::string&) override { ++shown; }
};

std::string Rows(int n) {
  std::string t = "data tab1\nrow Name,Ort,Betrag\n";
  for (int i = 0; i < n; ++i)
    t += "row \"Meier, Hans " + std::to_string(i) + "\",Berlin," + std::to_string(i % 1000) + ",50\n";
  return t + "end\n";
}

std::string Objects(int n) {
  std::string t = "frame oben 100\n";
  for (int i = 0; i < n; ++i)
    t += "object dbtext links " + std::to_string(i % 1900) +
         " breite 300 h\xF6" "he 50 text Name fontart fett\nwenn nleer\nausrichtung rechts\nend\n";
  return t + "end\n";
}

double Seconds(komp::TReportModel& r, const std::string& text) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    auto t0 = std::chrono::steady_clock::now();
    r.SetReportdaten(text.c_str());
    auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
  }
  return best;
}

}  // namespace

int main() {
  CountingDiagnostics boxes;
  komp::TReportModel report;
  report.SetDiagnostics(&boxes);

  std::printf("%-10s %10s %12s %12s %12s\n", "kind", "count", "bytes", "ms (best/3)", "ns/byte");
  for (auto [kind, make] : {std::pair{"rows", &Rows}, std::pair{"objects", &Objects}}) {
    for (int n : {10000, 100000, 1000000}) {
      std::string text = make(n);
      double sec = Seconds(report, text);
      std::printf("%-10s %10d %12zu %12.1f %12.2f\n", kind, n, text.size(), sec * 1e3,
                  sec * 1e9 / double(text.size()));
    }
  }
  if (boxes.shown) std::printf("unexpected diagnostics: %d\n", boxes.shown);
  return boxes.shown ? 1 : 0;
}
