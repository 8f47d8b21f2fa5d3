// File-open and file-save dialogs as components, on the file dialog service.
#pragma once
#include <string>

#include "framework/gui/controls.h"

namespace komp {

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(QObject* owner) : TComponent(owner) {}
  std::string FileName;    // proposed before, chosen after Execute; code page 1252
  std::string SystemFileName;  // chosen: the file system's own name, for opening the file
  std::string Filter;      // "Text (*.txt)|*.txt|Alle (*.*)|*.*"; empty: all files
  std::string Title;
  std::string InitialDir;
  // The folder to start in as the file system names it; wins over InitialDir.
  std::string SystemInitialDir;
  std::string DefaultExt;
  // The filter shown first, 1-based; the one chosen after Execute.
  int FilterIndex = 1;
  // Runs the dialog; false when the person cancels.
  virtual bool Execute();
};

class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(QObject* owner) : TOpenDialog(owner) {}
  bool Execute() override;
};

}  // namespace komp
