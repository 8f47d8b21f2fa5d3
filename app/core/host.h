// How a conversion talks to whoever runs it: the window, the command line or a test.
#pragma once
#include <cstdint>
#include <string>

namespace brivox {

class ConversionHost {
 public:
  virtual ~ConversionHost() = default;
  // A modal message: code page 1252 text and caption ("Achtung", "Fertig").
  virtual void Message(const std::string& text, const std::string& caption) = 0;
  // A new stretch of work: position 0, bar shown, this maximum.
  virtual void ProgressStart(int64_t maximum) = 0;
  virtual void ProgressPosition(int64_t position) = 0;
  // Lets the message loop run once. False means the window is closing: the run
  // stops at once, closes its files, keeps what was written and shows nothing more.
  virtual bool ProcessMessages() = 0;
};

}  // namespace brivox
