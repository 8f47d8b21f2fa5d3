// How fast SetReportdaten reads large definitions: inline table rows and objects, each at
// growing sizes, so that linear growth shows as a steady rate per byte.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "components/druckreport/druckreport.h"
#include "framework/gui/application.h"
#include "framework/gui/services.h"

namespace {

class CountingBoxes : public komp::IMessageBoxes {
 public:
  int shown = 0;
  int Show(const std::string&, const std::string&, int, int) override {
    ++shown;
    return komp::IDOK;
  }
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

double Seconds(komp::TDruckReport& r, const std::string& text) {
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

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  komp::InitFramework();
  CountingBoxes boxes;
  komp::TServices s;
  s.MessageBoxes = &boxes;
  komp::TServiceOverride installed(s);
  komp::TDruckReport report(nullptr);

  std::printf("%-10s %10s %12s %12s %12s\n", "kind", "count", "bytes", "ms (best/3)", "ns/byte");
  for (auto [kind, make] : {std::pair{"rows", &Rows}, std::pair{"objects", &Objects}}) {
    for (int n : {10000, 100000, 1000000}) {
      std::string text = make(n);
      double sec = Seconds(report, text);
      std::printf("%-10s %10d %12zu %12.1f %12.2f\n", kind, n, text.size(), sec * 1e3,
                  sec * 1e9 / double(text.size()));
    }
  }
  if (boxes.shown) std::printf("unexpected message boxes: %d\n", boxes.shown);
  return boxes.shown ? 1 : 0;
}
