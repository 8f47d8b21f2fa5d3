// TForm: a top-level window; its modal run (ShowModal through the modal-forms service) and the
// files dropped on it.
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QUrl>
#include <exception>

#include "framework/gui/controls.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/services.h"

namespace komp {

TForm::TForm(QWidget* owner) : TCustomControl(owner) {
  setWindowFlag(Qt::Window, true);
  SetFocusable(false);
}

TForm::~TForm() {
  if (modalLoop_) modalLoop_->quit();
}

std::string TForm::Caption() const { return FromQString(windowTitle()); }

void TForm::SetCaption(const std::string& caption) { setWindowTitle(ToQString(caption)); }

void TForm::SetClientSize(int w, int h) {
  resize(w, h);
  if (borderStyle_ != TBorderStyle::Sizeable) setFixedSize(w, h);
}

void TForm::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  if (style != TBorderStyle::Sizeable) {
    setFixedSize(size());
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
  }
  if (style == TBorderStyle::ToolWindow || style == TBorderStyle::Dialog) setWindowFlag(Qt::WindowMinMaxButtonsHint, false);
}

void TForm::Show() {
  show();
  raise();
  activateWindow();
}

void TForm::Close() { close(); }

namespace {
// Escape ends a modal window with mrCancel wherever its focus is, before the control with
// the focus sees the key, as a dialog's cancel key does.
class ModalKeys : public QObject {
 public:
  explicit ModalKeys(TForm* form) : form_(form) { qApp->installEventFilter(this); }
  ~ModalKeys() override {
    if (qApp) qApp->removeEventFilter(this);
  }
  bool eventFilter(QObject* obj, QEvent* e) override {
    if (e->type() != QEvent::KeyPress || !form_ || !obj->isWidgetType()) return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    if (ke->key() != Qt::Key_Escape || (ke->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
      return false;
    if (static_cast<QWidget*>(obj)->window() != form_) return false;
    form_->SetModalResult(mrCancel);
    return true;
  }

 private:
  QPointer<TForm> form_;
};
}  // namespace

// The real modal run: the window is modal to the application and has a loop of its own.
class TModalRun : public IModalForms {
 public:
  int Run(TForm& form) override {
    QPointer<TForm> f(&form);
    // Qt applies a modality when the window is shown.
    if (form.isVisible()) form.hide();
    form.setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    form.modalLoop_ = &loop;
    form.Show();
    if (f && f->isVisible() && f->modalResult_ == mrNone) loop.exec(QEventLoop::DialogExec);
    if (!f) return mrCancel;
    f->modalLoop_ = nullptr;
    return f->modalResult_;
  }
};

IModalForms* RealModalForms() {
  static TModalRun run;
  return &run;
}

int TForm::ShowModal() {
  if (modal_) return mrNone;
  QPointer<TForm> self(this);
  modalResult_ = mrNone;
  modal_ = true;
  int result = mrNone;
  {
    ModalKeys keys(this);
    result = Services().ModalForms->Run(*this);
  }
  if (result == mrNone) result = mrCancel;
  if (!self) return result;
  modal_ = false;
  modalResult_ = result;
  hide();
  return result;
}

void TForm::SetModalResult(int result) {
  modalResult_ = result;
  if (result != mrNone && modalLoop_) modalLoop_->quit();
}

void TForm::closeEvent(QCloseEvent* e) {
  if (OnCloseQuery && !OnCloseQuery()) {
    e->ignore();
    return;
  }
  // Closing a modal window is cancelling it.
  if (modal_ && modalResult_ == mrNone) modalResult_ = mrCancel;
  if (OnClose) OnClose(this);
  e->accept();
}

void TForm::hideEvent(QHideEvent* e) {
  if (modalLoop_) modalLoop_->quit();
  TCustomControl::hideEvent(e);
}

void TForm::showEvent(QShowEvent* e) {
  if (position_ == TPosition::ScreenCenter && !centred_) {
    centred_ = true;
    if (QScreen* s = QGuiApplication::primaryScreen()) {
      const QRect a = s->availableGeometry();
      move(a.center() - QPoint(width() / 2, height() / 2));
    }
  }
  // A window opens with the focus on the first control of its tab order.
  if (!focusWidget())
    if (TControl* first = FindNextControl(this, nullptr, true, true)) first->SetFocus(FOCUS_OTHER);
  TCustomControl::showEvent(e);
}

namespace {
// The local files a drag carries; links to web pages and other data are not files.
std::vector<std::string> LocalFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  return files;
}
}  // namespace

void TForm::SetAcceptFiles(bool accept) {
  acceptFiles_ = accept;
  setAcceptDrops(accept);
}

void TForm::dragEnterEvent(QDragEnterEvent* e) {
  if (acceptFiles_ && OnDropFiles && !LocalFiles(e->mimeData()).empty()) e->acceptProposedAction();
  else e->ignore();
}

void TForm::dragMoveEvent(QDragMoveEvent* e) {
  if (acceptFiles_ && OnDropFiles && !LocalFiles(e->mimeData()).empty()) e->acceptProposedAction();
  else e->ignore();
}

void TForm::dropEvent(QDropEvent* e) {
  // Checked again: the window may have stopped taking files since the drag entered.
  std::vector<std::string> files = LocalFiles(e->mimeData());
  if (!acceptFiles_ || !OnDropFiles || files.empty()) {
    e->ignore();
    return;
  }
  e->acceptProposedAction();
  // The file manager waits until the drop returns, so the handler, which may show a
  // message box, runs right after it; by then the window may be gone or busy.
  QPointer<TForm> self(this);
  QMetaObject::invokeMethod(
      this,
      [self, files = std::move(files)] {
        if (!self || !self->acceptFiles_ || !self->OnDropFiles) return;
        try {
          self->OnDropFiles(self.data(), files);
        } catch (const std::exception& ex) {
          ShowException(ex.what());
        } catch (...) {
          ShowException("Unbekannter Fehler");
        }
      },
      Qt::QueuedConnection);
}

}  // namespace komp
