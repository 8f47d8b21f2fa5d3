// The main window of Brivox: name a file, see whether it will be exported or imported,
// press Start, follow the progress, read the closing message.
#pragma once
#include <memory>
#include <string>

#include "app/core/converter.h"
#include "framework/gui/controls.h"

namespace komp {
class TIn;
class TTaste;
class TLabel;
class TGroupBox;
class TProgressBar;
class TOpenDialog;
}  // namespace komp

namespace brivox {

class TForm1 : public komp::TForm {
 public:
  explicit TForm1(QWidget* owner = nullptr);
  ~TForm1() override;

  komp::TIn* Name;
  komp::TTaste* Taste1;
  komp::TLabel* Label1;
  komp::TGroupBox* Box;
  komp::TIn* In1;
  komp::TIn* ExName;
  komp::TProgressBar* Zeit;
  komp::TTaste* Taste2;
  komp::TOpenDialog* Load;

  void Taste1Click(komp::TObject* Sender);
  void NameChange(komp::TObject* Sender);
  void Taste2Click(komp::TObject* Sender);
  // Names a file by its system name, as the dialog, a drop on the window or the command
  // line gives it: the field shows it, the mode is decided, its folder is remembered for
  // the dialog. Ignored during a run.
  void OpenFile(const std::string& systemPath);

  enum class Mode { Undecided, Export, Import, WrongFormat, Unreadable };
  Mode CurrentMode() const { return mode_; }
  bool Running() const { return running_; }
  // The file the field names, as the file system calls it.
  std::string FilePath() const;

 private:
  class Host;
  void SetRunning(bool running);
  bool RunConversion(uint64_t limit);
  // Decides the mode for the file the field names; quiet: without messages.
  void Decide(bool quiet);
  void ShowStatus(const std::string& status);
  bool ConfirmClose();

  std::unique_ptr<Host> host_;
  Mode mode_ = Mode::Undecided;
  // The header of the last piece file named, as the import starts from it.
  HeaderState header_;
  // The path the mode was decided for; a later edit of the field needs a new decision.
  std::string decidedPath_;
  // The name a dialog gave, exactly, and the code page text it put in the field.
  std::string pickedPath_;
  std::string pickedText_;
  bool running_ = false;
  bool closeRequested_ = false;
};

}  // namespace brivox
