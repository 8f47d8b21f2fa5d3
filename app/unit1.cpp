#include "app/unit1.h"

#include <QPointer>

#include "components/in/in.h"
#include "components/taste/taste.h"
#include "framework/cp1252.h"
#include "framework/file.h"
#include "framework/gui/canvas.h"
#include "framework/gui/dialogs.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace brivox {

using namespace komp;

namespace {
const std::string kStatusStart = "Importieren / Exportieren";
const std::string kStatusImport = "Import Zieldatei:";
const std::string kAskStop = "Konvertierung abbrechen?";
const std::string kCaptionAsk = "Wirklich";
// Where the dialog starts, kept between runs.
const std::string kFolderKey = "Dialog/Ordner";
constexpr char kEllipsis = '\x85';

// A path pasted from a terminal often ends in a line break.
std::string TrimTrailing(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  return text;
}

// Shortens text in the middle of what follows keep, so that it fits width.
std::string ElideMiddle(const std::string& text, size_t keep, const TFont& font, int width) {
  const auto fits = [&](const std::string& t) { return TCanvas::MeasureText(font, t).cx <= width; };
  if (fits(text) || text.size() <= keep + 2) return text;
  const std::string head = text.substr(0, keep);
  const std::string rest = text.substr(keep);
  // The longest cut that still fits, with as much of both ends as possible.
  size_t lo = 0, hi = rest.size() - 1;
  while (lo < hi) {
    const size_t shown = (lo + hi + 1) / 2;
    const std::string t = head + rest.substr(0, (shown + 1) / 2) + kEllipsis + rest.substr(rest.size() - shown / 2);
    if (fits(t)) lo = shown;
    else hi = shown - 1;
  }
  return head + rest.substr(0, (lo + 1) / 2) + kEllipsis + rest.substr(rest.size() - lo / 2);
}

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

  // A file dragged from the file manager is named as if picked; several: the first.
  OnDropFiles = [this](TObject*, const std::vector<std::string>& files) { OpenFile(files.front()); };
  SetAcceptFiles(true);

  // Closing during a run asks first; the run then stops at its next progress
  // step, leaves nothing half written, and the window closes.
  OnCloseQuery = [this] {
    if (!running_) return true;
    if (!closeRequested_ && ConfirmClose()) closeRequested_ = true;
    return false;
  };
}

bool TForm1::ConfirmClose() {
  return MessageBox(kAskStop, kCaptionAsk, MB_YESNO, MB_ICONQUESTION) == IDYES;
}

std::string TForm1::FilePath() const {
  const std::string text = TrimTrailing(Name->Text());
  if (!pickedText_.empty() && text == pickedText_) return pickedPath_;
  // A pasted name with characters the field cannot hold shows them as "?";
  // the clipboard still has the name as it is.
  if (text.find('?') != std::string::npos) {
    const std::string pasted = TrimTrailing(Services().Clipboard->GetUnicodeText());
    if (!pasted.empty() && Utf8ToCp1252(pasted) == text) return pasted;
  }
  return ToSystemName(text);
}

TForm1::~TForm1() = default;

void TForm1::Taste1Click(TObject*) {
  // The dialog starts in the folder of the last file named, in this run or an earlier one.
  Load->FileName.clear();
  Load->SystemInitialDir.clear();
  if (const auto folder = Services().Settings->Read(kFolderKey); folder && TypeOf(*folder) == FileType::Directory)
    Load->SystemInitialDir = *folder;
  if (!Load->Execute()) return;
  OpenFile(Load->SystemFileName.empty() ? ToSystemName(Load->FileName) : Load->SystemFileName);
}

void TForm1::OpenFile(const std::string& systemPath) {
  if (running_ || systemPath.empty()) return;
  // The field shows the name as code page text; the file is opened by its own name.
  pickedPath_ = systemPath;
  pickedText_ = FromSystemName(systemPath);
  Name->FSetText(pickedText_);
  std::string folder = DirectoryOf(systemPath);
  if (folder.size() > 1) folder.pop_back();
  if (!folder.empty()) Services().Settings->Write(kFolderKey, folder);
  NameChange(Name);
}

void TForm1::NameChange(TObject*) { Decide(false); }

namespace {
// Shows nothing: for a second look at a path whose fault was already shown.
class QuietHost : public ConversionHost {
 public:
  void Message(const std::string&, const std::string&) override {}
  void ProgressStart(int64_t) override {}
  void ProgressPosition(int64_t) override {}
  bool ProcessMessages() override { return true; }
};
}  // namespace

void TForm1::Decide(bool quiet) {
  if (running_) return;
  header_ = HeaderState{};
  const std::string path = FilePath();
  decidedPath_ = path;
  QuietHost silent;
  const Inspection r = InspectFile(path, quiet ? static_cast<ConversionHost&>(silent) : *host_);
  header_ = r.header;
  switch (r.kind) {
    case FileKind::Export: mode_ = Mode::Export; break;
    case FileKind::Import: mode_ = Mode::Import; break;
    case FileKind::WrongFormat: mode_ = Mode::WrongFormat; break;
    default: mode_ = Mode::Unreadable; break;
  }
  const bool exportMode = mode_ == Mode::Export;
  ShowStatus(exportMode ? std::string() : r.status);
  Box->SetVisible(exportMode);
  Label1->SetVisible(!exportMode);
}

void TForm1::ShowStatus(const std::string& status) {
  // A long target name is shortened in its middle, so that "Import Zieldatei:"
  // always shows; the whole line is in the tooltip.
  const size_t keep = status.rfind(kStatusImport, 0) == 0 ? kStatusImport.size() : 0;
  const std::string shown = ElideMiddle(status, keep, Label1->Font(), Label1->Width());
  Label1->SetCaption(shown);
  Label1->SetHint(shown == status ? std::string() : status);
}

void TForm1::SetRunning(bool running) {
  running_ = running;
  SetAcceptFiles(!running);
  for (TControl* c : {static_cast<TControl*>(Name), static_cast<TControl*>(Taste1),
                      static_cast<TControl*>(In1), static_cast<TControl*>(ExName),
                      static_cast<TControl*>(Taste2)})
    c->SetEnabled(!running);
}

void TForm1::Taste2Click(TObject*) {
  if (running_) return;
  if (TrimTrailing(Name->Text()).empty()) {
    MessageBox(kMsgNoFile, kCaptionWarning);
    return;
  }
  // A path not yet looked at is decided now and shows its own message when it
  // fails. One whose fault was shown already is looked at again quietly (the
  // file may have been mended since), so no message is shown twice.
  bool told = false;
  if (FilePath() != decidedPath_) {
    Decide(false);
    told = true;
  } else if (mode_ != Mode::Export && mode_ != Mode::Import) {
    const Mode before = mode_;
    Decide(true);
    if (mode_ != before) {
      Decide(false);
      told = true;
    }
  }
  if (mode_ != Mode::Export && mode_ != Mode::Import) {
    if (!told) MessageBeep();
    return;
  }
  // The size text is read once, here; the converter gets the number.
  uint64_t limit = kNoLimit;
  if (mode_ == Mode::Export && !CheckSizeText(In1->Text(), *host_, &limit)) return;

  QPointer<TForm1> self(this);
  SetRunning(true);
  komp::ProcessMessages();
  const bool ok = RunConversion(limit);
  if (!self) return;
  if (!closeRequested_) ShowClosingMessage(*host_, ok);
  SetRunning(false);
  Zeit->SetVisible(false);
  // Start lost the focus when it was disabled; it gets it back for the next run.
  TControl* focused = ActiveControl();
  if (!focused || !focused->CanFocus()) Taste2->SetFocus(FOCUS_OTHER);
  if (closeRequested_) {
    Close();
    return;
  }
  komp::ProcessMessages();
}

bool TForm1::RunConversion(uint64_t limit) {
  const std::string path = decidedPath_;
  const std::string directory = DirectoryOf(path);
  if (mode_ == Mode::Export) {
    ExportSettings s;
    s.sourcePath = path;
    s.directory = directory;
    s.exportName = ExName->Value();
    s.limit = limit;
    return RunExport(std::move(s), *host_);
  }
  ImportSettings s;
  s.piecePath = path;
  s.directory = directory;
  s.header = header_;
  return RunImport(std::move(s), *host_);
}

}  // namespace brivox
