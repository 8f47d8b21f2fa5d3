// The fixture of the TDruckReport tests: a report with scripted message boxes, and helpers.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "components/druckreport/druckreport.h"
#include "framework/testing/doubles.h"

namespace komp::drtest {

inline std::string ErrorBox(int n, const std::string& message, int line) {
  return "Fehler in den Reportdaten!\nFehlernummer:" + std::to_string(n) + "  " + message +
         "\nIn Zeile " + std::to_string(line);
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::vector<DruckReport_Struct*> Objects(const TDruckReport& r) {
  std::vector<DruckReport_Struct*> v;
  for (auto* o = r.ErstesObjekt(); o; o = o->Next) v.push_back(o);
  return v;
}

struct Fixture : ::testing::Test {
  TTestServices services;
  TDruckReport report{nullptr};
  // Parses and returns the boxes shown.
  std::vector<TScriptedMessageBoxes::Call> Parse(const std::string& text) {
    services.boxes.calls.clear();
    EXPECT_TRUE(report.SetReportdaten(text.c_str()));
    return services.boxes.calls;
  }
  void ExpectError(const std::string& text, int n, const std::string& message, int line) {
    auto boxes = Parse(text);
    ASSERT_EQ(boxes.size(), 1u) << text;
    EXPECT_EQ(boxes[0].text, ErrorBox(n, message, line)) << text;
    EXPECT_EQ(boxes[0].caption, "Fehler");
    EXPECT_EQ(boxes[0].buttons, MB_OK);
  }
};

using Keywords = Fixture;
using Language = Fixture;
using Errors = Fixture;
using Model = Fixture;
using Hostile = Fixture;

}  // namespace komp::drtest
