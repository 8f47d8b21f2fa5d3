// The real services, on Qt, and the registry that tests swap doubles into.
#include "framework/gui/services.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDateTime>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <map>

#include "framework/clipformat.h"
#include "framework/file.h"
#include "framework/gui/controls.h"
#include "framework/gui/qtbridge.h"

namespace komp {

IPrinter* RealPrinter();  // printer.cpp
IModalForms* RealModalForms();  // controls.cpp

namespace {

class QtMessageBoxes : public IMessageBoxes {
 public:
  int Show(const std::string& text, const std::string& caption, int buttons, int icon) override {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(ToQString(caption));
    box.setText(ToQString(text));
    switch (icon) {
      case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
      case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
      case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
      case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
      default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (buttons == MB_YESNO) {
      // A question: "Nein" is what Escape and closing the box answer.
      QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
      QPushButton* no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
      box.setDefaultButton(yes);
      box.setEscapeButton(no);
      box.exec();
      return box.clickedButton() == yes ? IDYES : IDNO;
    }
    QPushButton* ok = nullptr;
    QPushButton* retry = nullptr;
    QPushButton* cancel = nullptr;
    if (buttons == MB_RETRYCANCEL) {
      retry = box.addButton(QStringLiteral("Wiederholen"), QMessageBox::AcceptRole);
    } else {
      ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    }
    if (buttons == MB_OKCANCEL || buttons == MB_RETRYCANCEL)
      cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(ok ? ok : retry);
    if (cancel) box.setEscapeButton(cancel);
    else box.setEscapeButton(ok);
    box.exec();
    if (box.clickedButton() == retry) return IDRETRY;
    if (cancel && box.clickedButton() == cancel) return IDCANCEL;
    return cancel && box.clickedButton() == nullptr ? IDCANCEL : IDOK;
  }
};

QString MimeOf(const std::string& format) {
  return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QString::fromStdString(format));
}

class QtClipboard : public IClipboard {
 public:
  bool HasText() override {
    const QMimeData* d = QGuiApplication::clipboard()->mimeData();
    return d && d->hasText();
  }
  std::string GetText() override { return FromQString(QGuiApplication::clipboard()->text()); }
  std::string GetUnicodeText() override { return QGuiApplication::clipboard()->text().toStdString(); }
  void SetText(const std::string& text) override { SetData({{kTextFormat, text}}); }
  bool HasFormat(const std::string& format) override {
    const QMimeData* d = QGuiApplication::clipboard()->mimeData();
    if (!d) return false;
    if (format == kTextFormat) return d->hasText();
    if (d->hasFormat(MimeOf(format))) return true;
    return format == "HTML Format" && d->hasHtml();
  }
  std::optional<std::string> GetData(const std::string& format) override {
    const QMimeData* d = QGuiApplication::clipboard()->mimeData();
    if (!d) return std::nullopt;
    if (format == kTextFormat) return d->hasText() ? std::optional(FromQString(d->text())) : std::nullopt;
    if (d->hasFormat(MimeOf(format))) {
      const QByteArray b = d->data(MimeOf(format));
      return std::string(b.constData(), size_t(b.size()));
    }
    // HTML from another program arrives as text/html: give it the usual header.
    if (format == "HTML Format" && d->hasHtml()) return MakeHtmlFormat(d->html().toStdString());
    return std::nullopt;
  }
  void SetData(const std::vector<std::pair<std::string, std::string>>& formats) override {
    auto* d = new QMimeData;
    for (const auto& [format, bytes] : formats) {
      if (format == kTextFormat) {
        d->setText(ToQString(bytes));
        continue;
      }
      d->setData(MimeOf(format), QByteArray(bytes.data(), qsizetype(bytes.size())));
      // Other programs on this platform paste HTML as text/html.
      if (format == "HTML Format") d->setHtml(QString::fromUtf8(HtmlFromHtmlFormat(bytes).c_str()));
    }
    QGuiApplication::clipboard()->setMimeData(d);
  }
};

class QtSound : public ISound {
 public:
  void Beep() override { QApplication::beep(); }
};

QString ToQtFilter(const std::string& filter) {
  // "Text (*.txt)|*.txt|Alle|*.*" -> "Text (*.txt);;Alle (*.*)"
  if (filter.empty()) return {};
  QStringList parts = ToQString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    const QString patterns = QString(parts[i + 1]).replace(';', ' ');
    if (!name.contains('(')) name += " (" + patterns + ")";
    else name = name.left(name.indexOf('(')).trimmed() + " (" + patterns + ")";
    out << name;
  }
  return out.join(";;");
}

class QtFileDialogs : public IFileDialogs {
 public:
  bool Open(TFileDialogSpec& spec) override { return Run(spec, false); }
  bool Save(TFileDialogSpec& spec) override { return Run(spec, true); }

 private:
  bool Run(TFileDialogSpec& spec, bool save) {
    QString dir = spec.SystemInitialDir.empty() ? QFile::decodeName(ToSystemName(spec.InitialDir).c_str())
                                                : QFile::decodeName(spec.SystemInitialDir.c_str());
    if (!spec.FileName.empty()) dir = QFile::decodeName(ToSystemName(spec.FileName).c_str());
    const QString title = ToQString(spec.Title);
    const QString filter = ToQtFilter(spec.Filter);
    const QStringList filters = filter.split(";;");
    QString selected = spec.FilterIndex >= 1 && spec.FilterIndex <= filters.size() ? filters[spec.FilterIndex - 1]
                                                                                   : QString();
    QString chosen =
        save ? QFileDialog::getSaveFileName(QApplication::activeWindow(), title, dir, filter, &selected)
             : QFileDialog::getOpenFileName(QApplication::activeWindow(), title, dir, filter, &selected);
    if (chosen.isEmpty()) return false;
    // Filters with the same pattern differ by name only: the name tells which was taken.
    if (const qsizetype at = filters.indexOf(selected); at >= 0) spec.FilterIndex = int(at) + 1;
    if (save && !spec.DefaultExt.empty() && QFileInfo(chosen).suffix().isEmpty())
      chosen += "." + ToQString(spec.DefaultExt);
    spec.SystemFileName = QFile::encodeName(chosen).toStdString();
    spec.FileName = FromSystemName(spec.SystemFileName);
    return true;
  }
};

void FillMenu(QMenu* menu, const std::vector<TMenuItemSpec>& items) {
  for (const auto& it : items) {
    if (it.Caption == "-") {
      menu->addSeparator();
      continue;
    }
    if (!it.Items.empty()) {
      QMenu* sub = menu->addMenu(ToQString(it.Caption));
      sub->setEnabled(it.Enabled);
      FillMenu(sub, it.Items);
      continue;
    }
    QAction* a = menu->addAction(ToQString(it.Caption));
    a->setEnabled(it.Enabled);
    if (it.Checked) {
      a->setCheckable(true);
      a->setChecked(true);
    }
    a->setData(it.Command);
  }
}

class QtPopupMenus : public IPopupMenus {
 public:
  int Track(const std::vector<TMenuItemSpec>& items, TPoint screenPos, TControl* owner) override {
    QMenu menu(owner);
    FillMenu(&menu, items);
    QAction* chosen = menu.exec(QPoint(screenPos.x, screenPos.y));
    return chosen ? chosen->data().toInt() : 0;
  }
};

class QtShell : public IShell {
 public:
  bool OpenUrl(const std::string& url) override {
    return QDesktopServices::openUrl(QUrl(ToQString(url), QUrl::TolerantMode));
  }
};

class QtMessageLoop : public IMessageLoop {
 public:
  void ProcessMessages() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
};

class QtClock : public IClock {
 public:
  QtClock() { elapsed_.start(); }
  TDateTime Now() override {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDate(d.year(), d.month(), d.day()) + EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
  }
  uint64_t TickMs() override { return uint64_t(elapsed_.elapsed()); }
  int StartTimer(int intervalMs, std::function<void()> callback) override {
    auto* t = new QTimer;
    t->setInterval(intervalMs);
    const int id = ++next_;
    QObject::connect(t, &QTimer::timeout, [cb = std::move(callback)] { cb(); });
    timers_[id] = t;
    t->start();
    return id;
  }
  void StopTimer(int id) override {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();  // may be inside its own timeout
    timers_.erase(it);
  }

 private:
  QElapsedTimer elapsed_;
  std::map<int, QTimer*> timers_;
  int next_ = 0;
};

class QtMouse : public IMouse {
 public:
  TPoint CursorPos() override { return FromQPoint(QCursor::pos()); }
};

// One INI file in the user's configuration folder. The folder is looked up at every
// access, not once as QSettings does, so that XDG_CONFIG_HOME set later still counts.
class QtSettings : public ISettings {
 public:
  std::optional<std::string> Read(const std::string& key) override {
    QSettings s(File(), QSettings::IniFormat);
    const QString k = QString::fromUtf8(key.c_str());
    if (s.status() != QSettings::NoError || !s.contains(k)) return std::nullopt;
    const QVariant v = s.value(k);
    const QByteArray b = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
    return std::string(b.constData(), size_t(b.size()));
  }
  bool Write(const std::string& key, const std::string& value) override {
    QSettings s(File(), QSettings::IniFormat);
    const QByteArray bytes(value.data(), qsizetype(value.size()));
    const QString text = QString::fromUtf8(bytes);
    // Readable text where the bytes are UTF-8; anything else is kept byte for byte.
    if (text.toUtf8() == bytes) s.setValue(QString::fromUtf8(key.c_str()), text);
    else s.setValue(QString::fromUtf8(key.c_str()), bytes);
    s.sync();
    return s.status() == QSettings::NoError;
  }

 private:
  static QString File() {
    QString app = QCoreApplication::applicationName();
    if (app.isEmpty()) app = QStringLiteral("komp");
    QString org = QCoreApplication::organizationName();
    if (org.isEmpty()) org = app;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' + org + '/' + app +
           QStringLiteral(".conf");
  }
};

TServices& Current() {
  static QtMessageBoxes boxes;
  static QtClipboard clipboard;
  static QtSound sound;
  static QtFileDialogs dialogs;
  static QtPopupMenus menus;
  static QtShell shell;
  static QtMessageLoop loop;
  static QtClock clock;
  static QtMouse mouse;
  static QtSettings settings;
  static TServices s{&boxes, &clipboard, &sound, &dialogs, &menus, &shell, &loop, &clock, &mouse, nullptr, &settings};
  return s;
}

}  // namespace

TServices& Services() {
  TServices& s = Current();
  if (!s.Printer) s.Printer = RealPrinter();
  if (!s.ModalForms) s.ModalForms = RealModalForms();
  return s;
}

TServiceOverride::TServiceOverride(const TServices& r) : saved_(Services()) {
  TServices& s = Services();
  if (r.MessageBoxes) s.MessageBoxes = r.MessageBoxes;
  if (r.Clipboard) s.Clipboard = r.Clipboard;
  if (r.Sound) s.Sound = r.Sound;
  if (r.FileDialogs) s.FileDialogs = r.FileDialogs;
  if (r.PopupMenus) s.PopupMenus = r.PopupMenus;
  if (r.Shell) s.Shell = r.Shell;
  if (r.MessageLoop) s.MessageLoop = r.MessageLoop;
  if (r.Clock) s.Clock = r.Clock;
  if (r.Mouse) s.Mouse = r.Mouse;
  if (r.Printer) s.Printer = r.Printer;
  if (r.Settings) s.Settings = r.Settings;
  if (r.ModalForms) s.ModalForms = r.ModalForms;
}

TServiceOverride::~TServiceOverride() { Services() = saved_; }

int MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) {
  return Services().MessageBoxes->Show(text, caption, buttons, icon);
}

void MessageBeep() { Services().Sound->Beep(); }

void ProcessMessages() { Services().MessageLoop->ProcessMessages(); }

TDateTime Now() { return Services().Clock->Now(); }

void ShowException(const std::string& what) { MessageBox(what, "Fehler", MB_OK, MB_ICONERROR); }

}  // namespace komp
