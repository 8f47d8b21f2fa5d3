#include "app/unit1.h"

#include <QPointer>

#include "components/in/in.h"
#include "components/taste/taste.h"
#include "framework/gui/dialogs.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace brivox {

using namespace komp;

namespace {
const std::string kStatusStart = "Importieren / Exportieren";

}  // namespace

// The window's side of a conversion: progress bar, message boxes, the message loop.
class TForm1::Host : public ConversionHost {
 public:
  explicit Host(TForm1& form) : form_(form) {}
  void Message(const std::string& text, const std::string& caption) override {
    // Once the window is closing, nothing more is shown.
    if (form_.closeRequested_) return;
    MessageBox(text, caption);
  }
  void ProgressStart(int64_t maximum) override {
    form_.Zeit->SetRange(0, maximum);
    form_.Zeit->SetPosition(0);
    form_.Zeit->SetVisible(true);
  }
  void ProgressPosition(int64_t position) override { form_.Zeit->SetPosition(position); }
  bool ProcessMessages() override {
    komp::ProcessMessages();
    return !form_.closeRequested_;
  }

 private:
  TForm1& form_;
};

TForm1::TForm1(QWidget* owner) : TForm(owner), host_(std::make_unique<Host>(*this)) {
  SetCaption("Brivox");
  SetClientSize(529, 172);
  SetBorderStyle(TBorderStyle::ToolWindow);
  SetPosition(TPosition::ScreenCenter);
  Font() = TFont{};  // "MS Sans Serif", 8 points

  Name = new TIn(this);
  Name->SetBounds(0, 8, 521, 21);
  Name->FSetCaption("Datei");
  Name->FSetCaptionWidth(50);
  Name->FSetCaptionSize(10);
  Name->SetTabOrder(1);
  Name->OnChange = [this](TObject* s) { NameChange(s); };

  Taste1 = new TTaste(this);
  Taste1->SetBounds(214, 33, 100, 21);
  Taste1->SetCaption("Datei ausw\xE4hlen");
  Taste1->SetTabOrder(0);
  Taste1->OnClick = [this](TObject* s) { Taste1Click(s); };

  Label1 = new TLabel(this);
  Label1->SetBounds(5, 83, 513, 20);
  Label1->SetCaption(kStatusStart);
  Label1->Alignment = TAlignment::Center;
  Label1->Font().Style = fsBold;
  Label1->Font().Height = 16;

  Box = new TGroupBox(this);
  Box->SetBounds(2, 54, 523, 83);
  Box->SetCaption("Exporteinstellung");
  Box->Font().Style = fsBold;
  Box->Font().Height = 13;
  Box->SetTabOrder(4);
  Box->SetVisible(false);

  In1 = new TIn(Box);
  In1->SetBounds(2, 20, 209, 21);
  In1->FSetCaption("Maximale Dateigr\xF6\xDF" "e in KB");
  In1->FSetCaptionWidth(160);
  In1->SetNumeric(true);

  ExName = new TIn(Box);
  ExName->SetBounds(8, 53, 281, 21);
  ExName->FSetCaption("Export Name");
  ExName->FSetCaptionWidth(80);
  ExName->FSetDefault(kDefaultExportName);

  Zeit = new TProgressBar(this);
  Zeit->SetBounds(1, 88, 525, 30);
  Zeit->SetRange(0, 100);
  Zeit->SetTabOrder(2);
  Zeit->SetVisible(false);

  Taste2 = new TTaste(this);
  Taste2->SetBounds(208, 144, 100, 21);
  Taste2->SetCaption("Start");
  Taste2->SetTabOrder(3);
  Taste2->OnClick = [this](TObject* s) { Taste2Click(s); };

  Load = new TOpenDialog(this);

  // Closing during a run: the run stops at its next progress step, then the window closes.
  OnCloseQuery = [this] {
    if (!running_) return true;
    closeRequested_ = true;
    return false;
  };
}

TForm1::~TForm1() = default;

void TForm1::Taste1Click(TObject*) {
  if (!Load->Execute()) return;
  Name->FSetText(Load->FileName);
  NameChange(Name);
}

void TForm1::NameChange(TObject*) {
  if (running_) return;
  header_ = HeaderState{};
  const std::string path = Name->Text();
  decidedPath_ = path;
  const Inspection r = InspectFile(path, *host_);
  header_ = r.header;
  switch (r.kind) {
    case FileKind::Export: mode_ = Mode::Export; break;
    case FileKind::Import: mode_ = Mode::Import; break;
    case FileKind::WrongFormat: mode_ = Mode::WrongFormat; break;
    default: mode_ = Mode::Unreadable; break;
  }
  const bool exportMode = mode_ == Mode::Export;
  Label1->SetCaption(exportMode ? std::string() : r.status);
  Box->SetVisible(exportMode);
  Label1->SetVisible(!exportMode);
}

void TForm1::SetRunning(bool running) {
  running_ = running;
  for (TControl* c : {static_cast<TControl*>(Name), static_cast<TControl*>(Taste1),
                      static_cast<TControl*>(In1), static_cast<TControl*>(ExName),
                      static_cast<TControl*>(Taste2)})
    c->SetEnabled(!running);
}

void TForm1::Taste2Click(TObject*) {
  if (running_) return;
  if (Name->Text().empty()) {
    MessageBox(kMsgNoFile, kCaptionWarning);
    return;
  }
  // A path not yet looked at is decided now; that shows its own message when it fails.
  const bool decidedNow = Name->Text() != decidedPath_;
  if (decidedNow) NameChange(Name);
  if (mode_ == Mode::Undecided || mode_ == Mode::Unreadable) {
    if (!decidedNow) MessageBox(kMsgChosenFileNotOpened, kCaptionWarning);
    return;
  }
  if (mode_ == Mode::WrongFormat) {
    if (!decidedNow) MessageBox(kMsgWrongFormat, kCaptionWarning);
    return;
  }
  if (mode_ == Mode::Export && !CheckSizeText(In1->Text(), *host_)) return;

  QPointer<TForm1> self(this);
  SetRunning(true);
  komp::ProcessMessages();
  const bool ok = RunConversion();
  if (!self) return;
  if (!closeRequested_) ShowClosingMessage(*host_, ok);
  SetRunning(false);
  Zeit->SetVisible(false);
  // Start lost the focus when it was disabled; it gets it back for the next run.
  if (!focusWidget() || !focusWidget()->isEnabled()) Taste2->SetFocus(FOCUS_OTHER);
  if (closeRequested_) {
    Close();
    return;
  }
  komp::ProcessMessages();
}

bool TForm1::RunConversion() {
  const std::string path = Name->Text();
  const std::string directory = DirectoryOf(path);
  if (mode_ == Mode::Export) {
    ExportSettings s;
    s.sourcePath = path;
    s.directory = directory;
    s.exportName = ExName->Value();
    s.sizeText = In1->Text();
    return RunExport(std::move(s), *host_);
  }
  ImportSettings s;
  s.piecePath = path;
  s.directory = directory;
  s.header = header_;
  return RunImport(std::move(s), *host_);
}

}  // namespace brivox
