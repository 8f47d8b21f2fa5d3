#include "framework/testing/doubles.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWindow>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <algorithm>

#include "framework/cp1252.h"
#include "framework/file.h"
#include "framework/gui/controls.h"
#include "framework/gui/qtbridge.h"

namespace komp {

int TScriptedMessageBoxes::Show(const std::string& text, const std::string& caption, int buttons, int icon) {
  calls.push_back({text, caption, buttons, icon});
  if (onShow) onShow(calls.back());
  if (answers.empty()) return IDOK;
  const int a = answers.front();
  answers.pop_front();
  return a;
}

std::vector<std::string> TScriptedMessageBoxes::Lines() const {
  std::vector<std::string> out;
  for (const auto& c : calls) out.push_back(c.caption + ": " + c.text);
  return out;
}

std::string TMemoryClipboard::GetText() {
  auto it = data.find(kTextFormat);
  return it == data.end() ? std::string() : it->second;
}

std::string TMemoryClipboard::GetUnicodeText() {
  return unicodeText.empty() ? Cp1252ToUtf8(GetText()) : unicodeText;
}

std::optional<std::string> TMemoryClipboard::GetData(const std::string& format) {
  auto it = data.find(format);
  if (it == data.end()) return std::nullopt;
  return it->second;
}

void TMemoryClipboard::SetData(const std::vector<std::pair<std::string, std::string>>& formats) {
  data.clear();
  for (const auto& [f, b] : formats) data[f] = b;
  ++writes;
}

namespace {
bool Answer(std::deque<std::string>& answers, std::deque<int>& filters, TFileDialogSpec& spec) {
  if (answers.empty()) return false;
  const std::string a = answers.front();
  answers.pop_front();
  int filter = spec.FilterIndex;
  if (!filters.empty()) {
    filter = filters.front();
    filters.pop_front();
  }
  if (a.empty()) return false;
  spec.SystemFileName = a;
  spec.FileName = FromSystemName(a);
  spec.FilterIndex = filter;
  return true;
}

const TMenuItemSpec* FindCaption(const std::vector<TMenuItemSpec>& items, const std::string& caption) {
  for (const auto& it : items) {
    if (it.Caption == caption) return &it;
    if (const TMenuItemSpec* sub = FindCaption(it.Items, caption)) return sub;
  }
  return nullptr;
}
}  // namespace

bool TScriptedFileDialogs::Open(TFileDialogSpec& spec) {
  openCalls.push_back(spec);
  return Answer(openAnswers, filterAnswers, spec);
}

bool TScriptedFileDialogs::Save(TFileDialogSpec& spec) {
  saveCalls.push_back(spec);
  return Answer(saveAnswers, filterAnswers, spec);
}

int TScriptedPopupMenus::Track(const std::vector<TMenuItemSpec>& items, TPoint screenPos, TControl*) {
  calls.push_back({items, screenPos});
  if (choose.empty()) return 0;
  const std::string c = choose.front();
  choose.pop_front();
  const TMenuItemSpec* it = c.empty() ? nullptr : FindCaption(items, c);
  // A greyed item cannot be chosen, as with a real menu.
  return it && it->Enabled ? it->Command : 0;
}

const TMenuItemSpec* TScriptedPopupMenus::LastItem(const std::string& caption) const {
  if (calls.empty()) return nullptr;
  return FindCaption(calls.back().items, caption);
}

void TCountingMessageLoop::ProcessMessages() {
  ++calls;
  if (onProcess) onProcess();
}

int TManualClock::StartTimer(int intervalMs, std::function<void()> callback) {
  const int id = ++next_;
  timers_[id] = {std::max(1, intervalMs), tick + uint64_t(std::max(1, intervalMs)), std::move(callback)};
  return id;
}

void TManualClock::StopTimer(int id) { timers_.erase(id); }

void TManualClock::Advance(int ms) {
  const uint64_t end = tick + uint64_t(std::max(0, ms));
  for (;;) {
    // The earliest due timer within the step; ties in the order they were started.
    int best = 0;
    uint64_t due = 0;
    for (const auto& [id, t] : timers_)
      if (t.due <= end && (best == 0 || t.due < due)) {
        best = id;
        due = t.due;
      }
    if (!best) break;
    now += double(due - tick) / 86400000.0;
    tick = due;
    Timer& t = timers_[best];
    t.due += uint64_t(t.interval);
    std::function<void()> cb = t.callback;  // the callback may stop or start timers
    cb();
  }
  now += double(end - tick) / 86400000.0;
  tick = end;
}

TRecordingPrinter::TRecordingPrinter(int dpi) : dpi_(dpi), offset_(dpi / 6) {}
TRecordingPrinter::~TRecordingPrinter() = default;

int TRecordingPrinter::PhysicalWidth() const {
  const int w = int(210.0 / 25.4 * dpi_ + 0.5), h = int(297.0 / 25.4 * dpi_ + 0.5);
  return Orientation == TPrinterOrientation::Landscape ? h : w;
}
int TRecordingPrinter::PhysicalHeight() const {
  const int w = int(210.0 / 25.4 * dpi_ + 0.5), h = int(297.0 / 25.4 * dpi_ + 0.5);
  return Orientation == TPrinterOrientation::Landscape ? w : h;
}
int TRecordingPrinter::PageWidth() const { return PhysicalWidth() - 2 * offset_; }
int TRecordingPrinter::PageHeight() const { return PhysicalHeight() - 2 * offset_; }

void TRecordingPrinter::AddPage() {
  auto page = std::make_unique<TRecordingCanvas>(PageWidth(), PageHeight());
  page->SetPixelsPerInch(dpi_);
  jobs.back().pages.push_back(std::move(page));
}

bool TRecordingPrinter::BeginDoc() {
  if (!available || printing_) return false;
  jobs.push_back({Title, Orientation, Copies, false, {}});
  AddPage();
  printing_ = true;
  return true;
}

void TRecordingPrinter::NewPage() {
  if (!printing_) return;
  // The new page starts with the pen, brush and font of the old one, as on a real printer canvas.
  TCanvas& old = *jobs.back().pages.back();
  const TPen pen = old.Pen;
  const TBrush brush = old.Brush;
  const TFont font = old.Font;
  AddPage();
  TCanvas& next = *jobs.back().pages.back();
  next.Pen = pen;
  next.Brush = brush;
  next.Font = font;
}

void TRecordingPrinter::EndDoc() { printing_ = false; }

void TRecordingPrinter::Abort() {
  if (printing_) jobs.back().aborted = true;
  printing_ = false;
}

TCanvas& TRecordingPrinter::Canvas() {
  if (!printing_ || jobs.empty()) return idle_;
  return *jobs.back().pages.back();
}

int TScriptedModalForms::Run(TForm& form) {
  captions.push_back(form.Caption());
  QPointer<TForm> alive(&form);
  ShowAndActivate(&form);
  if (onShow) {
    auto script = onShow;  // the script may replace itself for a nested form
    script(form);
  }
  if (!alive) return mrCancel;
  return form.ModalResult() != mrNone ? form.ModalResult() : mrCancel;
}

void ShowAndActivate(QWidget* window) {
  window->show();
  QApplication::setActiveWindow(window);
  window->activateWindow();
  QCoreApplication::processEvents();
}

void SendKeyPress(QWidget* w, int qtKey, const std::string& text, int mods, bool autoRepeat) {
  QKeyEvent e(QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(mods), QString::fromUtf8(text.c_str()), autoRepeat);
  QApplication::sendEvent(w, &e);
}

void SendKeyRelease(QWidget* w, int qtKey, int mods, bool autoRepeat) {
  QKeyEvent e(QEvent::KeyRelease, qtKey, Qt::KeyboardModifiers(mods), QString(), autoRepeat);
  QApplication::sendEvent(w, &e);
}

void SendKey(QWidget* w, int qtKey, const std::string& text, int mods) {
  SendKeyPress(w, qtKey, text, mods);
  SendKeyRelease(w, qtKey, mods);
}

void SendMouse(QWidget* w, int type, int button, TPoint pos, int buttons) {
  const QPointF local(pos.x, pos.y);
  const QPointF global = w->mapToGlobal(local.toPoint());
  Qt::MouseButtons bs = buttons >= 0 ? Qt::MouseButtons(buttons)
                        : type == QEvent::MouseButtonRelease ? Qt::NoButton
                                                             : Qt::MouseButtons(button);
  QMouseEvent e(QEvent::Type(type), local, global, Qt::MouseButton(button), bs, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

void Click(QWidget* w, TPoint pos) {
  SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, pos);
  SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, pos);
}

std::optional<std::string> TMemorySettings::Read(const std::string& key) {
  const auto it = values.find(key);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

bool TMemorySettings::Write(const std::string& key, const std::string& value) {
  ++writes;
  if (!writable) return false;
  values[key] = value;
  return true;
}

bool DropFiles(QWidget* w, const std::vector<std::string>& systemPaths, TPoint pos) {
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& p : systemPaths) urls << QUrl::fromLocalFile(QFile::decodeName(p.c_str()));
  data.setUrls(urls);
  // Through the window's platform window, as the desktop delivers it: Qt finds the widget
  // under the point that takes drops (the control there or one of its parents).
  QObject* target = w;
  QPoint at(pos.x, pos.y);
  if (QWindow* handle = w->window()->windowHandle()) {
    target = handle;
    at = w->mapTo(w->window(), at);
  }
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) {
    QDragLeaveEvent leave;
    QApplication::sendEvent(target, &leave);
    return false;
  }
  QDragMoveEvent move(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &move);
  QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
  return drop.isAccepted();
}

bool SaveWidgetPng(QWidget* w, const std::string& path) { return w->grab().save(QString::fromStdString(path), "PNG"); }

}  // namespace komp
