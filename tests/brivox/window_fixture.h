// The main window in a temporary directory of its own, with every service scripted: the common
// ground of the window tests.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/unit1.h"
#include "components/taste/taste.h"
#include "framework/testing/doubles.h"

namespace brivox::test {

class WindowFixture : public ::testing::Test {
 protected:
  explicit WindowFixture(const char* prefix) : prefix_(prefix) {}
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           (prefix_ + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    form_ = std::make_unique<TForm1>();
    komp::ShowAndActivate(form_.get());
  }
  void TearDown() override {
    form_.reset();
    std::filesystem::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories((dir_ / name).parent_path());
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void ClickButton(komp::TTaste* button) {
    button->Perform(komp::WM_LBUTTONDOWN, 0, komp::MakeLParam(5, 5));
    button->Perform(komp::WM_LBUTTONUP, 0, komp::MakeLParam(5, 5));
  }
  // Through the file dialog, as a person picks a file.
  void Pick(const std::string& path) {
    services_.dialogs.openAnswers.push_back(path);
    ClickButton(form_->Taste1);
  }
  void Start() { ClickButton(form_->Taste2); }

  komp::TTestServices services_;
  std::filesystem::path dir_;
  std::unique_ptr<TForm1> form_;

 private:
  std::string prefix_;
};

}  // namespace brivox::test
