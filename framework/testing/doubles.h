// Test doubles of the platform services: each records its calls and answers as scripted.
// TTestServices installs all of them for its lifetime.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/gui/canvas.h"
#include "framework/gui/services.h"

class QWidget;

namespace komp {

class TScriptedMessageBoxes : public IMessageBoxes {
 public:
  struct Call {
    std::string text, caption;
    int buttons = 0, icon = 0;
  };
  std::vector<Call> calls;
  std::deque<int> answers;  // taken in order; IDOK when empty
  // Called on every box (after recording), e.g. to close a window while a box is open.
  std::function<void(const Call&)> onShow;
  int Show(const std::string& text, const std::string& caption, int buttons, int icon) override;
  // "caption: text" of every box, for readable failure messages.
  std::vector<std::string> Lines() const;
};

class TMemoryClipboard : public IClipboard {
 public:
  std::map<std::string, std::string> data;  // format -> bytes; "text" is the plain text
  int writes = 0;
  bool HasText() override { return data.count(kTextFormat) > 0; }
  std::string GetText() override;
  // The text as UTF-8: unicodeText when a test put one there, else the 1252 text converted.
  std::string unicodeText;
  std::string GetUnicodeText() override;
  void SetText(const std::string& text) override { SetData({{kTextFormat, text}}); }
  bool HasFormat(const std::string& format) override { return data.count(format) > 0; }
  std::optional<std::string> GetData(const std::string& format) override;
  void SetData(const std::vector<std::pair<std::string, std::string>>& formats) override;
};

class TCountingSound : public ISound {
 public:
  int beeps = 0;
  void Beep() override { ++beeps; }
};

class TScriptedFileDialogs : public IFileDialogs {
 public:
  std::vector<TFileDialogSpec> openCalls, saveCalls;
  // The names a person picks, as the file system has them; "" cancels, so does an empty queue.
  std::deque<std::string> openAnswers, saveAnswers;
  // The filter picked with each answer (1-based), in order; the preselected one when empty.
  std::deque<int> filterAnswers;
  bool Open(TFileDialogSpec& spec) override;
  bool Save(TFileDialogSpec& spec) override;
};

class TScriptedPopupMenus : public IPopupMenus {
 public:
  struct Call {
    std::vector<TMenuItemSpec> items;
    TPoint pos;
  };
  std::vector<Call> calls;
  // Captions to choose, in order; an empty caption or an empty queue closes the menu without a choice.
  std::deque<std::string> choose;
  int Track(const std::vector<TMenuItemSpec>& items, TPoint screenPos, TControl* owner) override;
  // The item of the last menu with this caption (searched through submenus), or null.
  const TMenuItemSpec* LastItem(const std::string& caption) const;
};

class TRecordingShell : public IShell {
 public:
  std::vector<std::string> urls;
  bool result = true;
  bool OpenUrl(const std::string& url) override {
    urls.push_back(url);
    return result;
  }
};

class TCountingMessageLoop : public IMessageLoop {
 public:
  int calls = 0;
  std::function<void()> onProcess;  // runs at each call, e.g. to act "during" a long run
  void ProcessMessages() override;
};

// Time stands still until a test advances it; due timers fire in time order.
class TManualClock : public IClock {
 public:
  TDateTime now = 46000.5;  // 9 December 2025, noon
  uint64_t tick = 0;
  TDateTime Now() override { return now; }
  uint64_t TickMs() override { return tick; }
  int StartTimer(int intervalMs, std::function<void()> callback) override;
  void StopTimer(int id) override;
  void Advance(int ms);
  int ActiveTimers() const { return int(timers_.size()); }

 private:
  struct Timer {
    int interval;
    uint64_t due;
    std::function<void()> callback;
  };
  std::map<int, Timer> timers_;
  int next_ = 0;
};

class TFixedMouse : public IMouse {
 public:
  TPoint pos;
  TPoint CursorPos() override { return pos; }
};

// Pages are drawn on recording canvases at the printer's resolution and can be saved as images.
class TRecordingPrinter : public IPrinter {
 public:
  explicit TRecordingPrinter(int dpi = 100);
  ~TRecordingPrinter() override;
  bool available = true;
  struct Job {
    std::string title;
    TPrinterOrientation orientation;
    int copies;
    bool aborted = false;
    std::vector<std::unique_ptr<TRecordingCanvas>> pages;
  };
  std::vector<Job> jobs;
  bool BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() const override { return printing_; }
  TCanvas& Canvas() override;
  int PageWidth() const override;
  int PageHeight() const override;
  int PhysicalWidth() const override;
  int PhysicalHeight() const override;
  int OffsetX() const override { return offset_; }
  int OffsetY() const override { return offset_; }
  int DpiX() const override { return dpi_; }
  int DpiY() const override { return dpi_; }
  std::string PrinterName() const override { return "Testdrucker"; }

 private:
  void AddPage();
  int dpi_;
  int offset_;
  bool printing_ = false;
  TCanvas idle_;
};

// Settings kept in memory only, so that no test writes the user's configuration.
class TMemorySettings : public ISettings {
 public:
  std::map<std::string, std::string> values;
  int writes = 0;
  bool writable = true;  // false: every write fails, as on a read-only configuration folder
  std::optional<std::string> Read(const std::string& key) override;
  bool Write(const std::string& key, const std::string& value) override;
};

// Modal forms without a person: the form is shown, the script acts on it as a person would
// (clicks, keys, SetModalResult), and the form's ModalResult then is the answer; a form left
// without one answers mrCancel, as when the person closes it.
class TScriptedModalForms : public IModalForms {
 public:
  std::vector<std::string> captions;  // of each form run, in order
  std::function<void(TForm&)> onShow;
  int Run(TForm& form) override;
};

struct TTestServices {
  TScriptedMessageBoxes boxes;
  TMemoryClipboard clipboard;
  TCountingSound sound;
  TScriptedFileDialogs dialogs;
  TScriptedPopupMenus menus;
  TRecordingShell shell;
  TCountingMessageLoop loop;
  TManualClock clock;
  TFixedMouse mouse;
  TRecordingPrinter printer;
  TMemorySettings settings;
  TScriptedModalForms modals;
  TServiceOverride installed{TServices{&boxes, &clipboard, &sound, &dialogs, &menus, &shell, &loop, &clock,
                                       &mouse, &printer, &settings, &modals}};
};

// Shows a window and makes it the active one, so that its controls can take the focus.
void ShowAndActivate(QWidget* window);
// Sends real Qt input to a widget (through QApplication, as a person's would go).
void SendKey(QWidget* w, int qtKey, const std::string& textUtf8 = "", int qtModifiers = 0);
void SendKeyPress(QWidget* w, int qtKey, const std::string& textUtf8 = "", int qtModifiers = 0, bool autoRepeat = false);
void SendKeyRelease(QWidget* w, int qtKey, int qtModifiers = 0, bool autoRepeat = false);
void SendMouse(QWidget* w, int qtEventType, int qtButton, TPoint pos, int qtButtons = -1);
void Click(QWidget* w, TPoint pos);
// Drags local files (system names) onto the widget at pos and drops them there, through
// the real drag enter, move and drop events, as a file manager's drag arrives; then lets
// what the drop queued run. True when the widget (or a parent) took the drop.
bool DropFiles(QWidget* w, const std::vector<std::string>& systemPaths, TPoint pos);
// Renders a widget and its children through the real paint path.
bool SaveWidgetPng(QWidget* w, const std::string& path);

}  // namespace komp
