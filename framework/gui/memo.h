// Multi-line edit: a thin control around the toolkit's plain text editor.
#pragma once
#include <string>

#include "framework/gui/controls.h"

class QPlainTextEdit;

namespace komp {

class TMemo : public TControl {
 public:
  explicit TMemo(QWidget* owner);
  ~TMemo() override;
  // Code page 1252; lines end in "\n".
  std::string Text() const;
  void SetText(const std::string& text);
  void SetReadOnly(bool ro);
  void SetWordWrap(bool wrap);
  QPlainTextEdit* Editor() const { return edit_; }

  TNotifyEvent OnChange;

 private:
  QPlainTextEdit* edit_;
};

}  // namespace komp
