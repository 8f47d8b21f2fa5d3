// Platform services. Each one that blocks, waits for a person, leaves the process or depends on
// time is an interface with one real implementation; tests install a double (framework/testing).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/datetime.h"
#include "framework/types.h"

namespace komp {

class TControl;
class TCanvas;
class TForm;

// ---- message boxes
enum : int { MB_OK = 0, MB_OKCANCEL = 1, MB_YESNO = 4, MB_RETRYCANCEL = 5 };
enum : int { MB_ICONNONE = 0, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40 };
enum : int { IDOK = 1, IDCANCEL = 2, IDRETRY = 4, IDYES = 6, IDNO = 7 };

class IMessageBoxes {
 public:
  virtual ~IMessageBoxes() = default;
  // Modal; texts in code page 1252; returns IDOK, IDCANCEL, IDRETRY, IDYES or IDNO.
  virtual int Show(const std::string& text, const std::string& caption, int buttons, int icon) = 0;
};

// ---- clipboard
class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual bool HasText() = 0;
  virtual std::string GetText() = 0;  // code page 1252
  // The same text as UTF-8, with what code page 1252 cannot hold (file names, for one).
  virtual std::string GetUnicodeText() = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual bool HasFormat(const std::string& format) = 0;
  // The bytes stored under a registered format name ("HTML Format", "TDateTime", ...).
  virtual std::optional<std::string> GetData(const std::string& format) = 0;
  // Empties the clipboard and puts all given formats on it at once; "text" is the plain text.
  virtual void SetData(const std::vector<std::pair<std::string, std::string>>& formats) = 0;
};
constexpr const char* kTextFormat = "text";

// ---- sound
class ISound {
 public:
  virtual ~ISound() = default;
  virtual void Beep() = 0;
};

// ---- file dialogs
struct TFileDialogSpec {
  std::string Title;
  std::string Filter;      // "Text (*.txt)|*.txt|Alle (*.*)|*.*"
  std::string DefaultExt;
  std::string InitialDir;
  std::string FileName;    // proposed name; the chosen one on return (code page 1252)
  // The chosen file's own name in the file system, exactly: its 1252 text
  // above may have lost characters the code page lacks.
  std::string SystemFileName;
  // The folder to start in as the file system names it; wins over InitialDir.
  std::string SystemInitialDir;
  // The filter shown first, 1-based; the one chosen on return.
  int FilterIndex = 1;
};
class IFileDialogs {
 public:
  virtual ~IFileDialogs() = default;
  virtual bool Open(TFileDialogSpec& spec) = 0;
  virtual bool Save(TFileDialogSpec& spec) = 0;
};

// ---- popup menus
struct TMenuItemSpec {
  std::string Caption;  // "-" is a separator
  int Command = 0;      // returned when chosen; 0 never is
  bool Enabled = true;
  bool Checked = false;
  std::vector<TMenuItemSpec> Items;  // a submenu
};
class IPopupMenus {
 public:
  virtual ~IPopupMenus() = default;
  // Shows the menu at a screen position and waits; the chosen command, or 0.
  virtual int Track(const std::vector<TMenuItemSpec>& items, TPoint screenPos, TControl* owner) = 0;
};

// ---- shell
class IShell {
 public:
  virtual ~IShell() = default;
  // Opens an address ("mailto:...") with the desktop's program for it.
  virtual bool OpenUrl(const std::string& url) = 0;
};

// ---- message loop
class IMessageLoop {
 public:
  virtual ~IMessageLoop() = default;
  // Lets the message loop run once: pending input, paints and timers are handled.
  virtual void ProcessMessages() = 0;
};

// ---- clock and timers
class IClock {
 public:
  virtual ~IClock() = default;
  virtual TDateTime Now() = 0;
  virtual uint64_t TickMs() = 0;
  // Calls back every intervalMs until stopped; returns a timer id above 0.
  virtual int StartTimer(int intervalMs, std::function<void()> callback) = 0;
  virtual void StopTimer(int id) = 0;
};

// ---- mouse position
class IMouse {
 public:
  virtual ~IMouse() = default;
  virtual TPoint CursorPos() = 0;  // screen coordinates
};

// ---- printer
enum class TPrinterOrientation { Portrait, Landscape };
class IPrinter {
 public:
  virtual ~IPrinter() = default;
  std::string Title;
  TPrinterOrientation Orientation = TPrinterOrientation::Portrait;
  int Copies = 1;
  // False (with nothing printed) when no printer is available or the job cannot start.
  virtual bool BeginDoc() = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual void Abort() = 0;
  virtual bool Printing() const = 0;
  virtual TCanvas& Canvas() = 0;
  // Printable area in device pixels, the whole sheet, the offset of the printable area, the resolution.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  virtual int PhysicalWidth() const = 0;
  virtual int PhysicalHeight() const = 0;
  virtual int OffsetX() const = 0;
  virtual int OffsetY() const = 0;
  virtual int DpiX() const = 0;
  virtual int DpiY() const = 0;
  virtual std::string PrinterName() const = 0;
};

// ---- settings kept between runs
class ISettings {
 public:
  virtual ~ISettings() = default;
  // Values are bytes as given (a file system name stays exactly as it is); a key is
  // "Group/Name". Nothing when the key was never written or cannot be read.
  virtual std::optional<std::string> Read(const std::string& key) = 0;
  // False when the value could not be kept; nobody is told, the program goes on.
  virtual bool Write(const std::string& key, const std::string& value) = 0;
};

// ---- modal forms
class IModalForms {
 public:
  virtual ~IModalForms() = default;
  // Shows the form modally and waits until its ModalResult is set or it is closed; returns
  // that result (mrNone when none was set).
  virtual int Run(TForm& form) = 0;
};

struct TServices {
  IMessageBoxes* MessageBoxes = nullptr;
  IClipboard* Clipboard = nullptr;
  ISound* Sound = nullptr;
  IFileDialogs* FileDialogs = nullptr;
  IPopupMenus* PopupMenus = nullptr;
  IShell* Shell = nullptr;
  IMessageLoop* MessageLoop = nullptr;
  IClock* Clock = nullptr;
  IMouse* Mouse = nullptr;
  IPrinter* Printer = nullptr;
  // The user's configuration folder ($XDG_CONFIG_HOME, else ~/.config), a file named after
  // the application's organisation and name.
  ISettings* Settings = nullptr;
  IModalForms* ModalForms = nullptr;
};

// The services in use; the real ones unless a test installed doubles.
TServices& Services();
// Replaces services for the lifetime of the returned value (null members keep the current one).
class TServiceOverride {
 public:
  explicit TServiceOverride(const TServices& replacement);
  ~TServiceOverride();
  TServiceOverride(const TServiceOverride&) = delete;
  TServiceOverride& operator=(const TServiceOverride&) = delete;

 private:
  TServices saved_;
};

// Short forms for the services the components call most.
int MessageBox(const std::string& text, const std::string& caption, int buttons = MB_OK, int icon = MB_ICONNONE);
void MessageBeep();
void ProcessMessages();
TDateTime Now();

// An exception that escaped an event handler: shown, and the message loop goes on.
void ShowException(const std::string& what);

}  // namespace komp
