// TEdit: a QLineEdit whose key input goes through Dispatch (OnKeyDown/OnKeyPress/OnKeyUp), with
// the German context menu.
#include "framework/gui/stdctrls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <climits>

#include "framework/gui/input.h"
#include "framework/gui/keyboard.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls_support.h"

namespace komp {

using namespace stdctrls;

// ---------------------------------------------------------------- TEdit

// Key input of the wrapped line edit goes through the TEdit's Dispatch first. Events are
// handed to the line edit here and never propagate to the TEdit, which would see them twice.
class TEditFilter : public QObject {
 public:
  explicit TEditFilter(TEdit* edit) : QObject(edit), edit_(edit) {}
  bool inFilter = false;
  bool hideSelection = true;
  bool eventFilter(QObject* obj, QEvent* e) override;
  // Delivers an event straight to the line edit: no filters, no propagation to parents.
  void Deliver(QEvent* e) { static_cast<QObject*>(edit_->edit_)->event(e); }

 private:
  TEdit* edit_;
};

namespace {
// A Qt key press that types a code page 1252 character into a line edit.
QKeyEvent CharToKeyEvent(unsigned char ch) {
  switch (ch) {
    case 8: return QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
    case 9: return QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QString(QChar(9)));
    case 13: return QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(QChar(13)));
    case 27: return QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    default: break;
  }
  if (ch >= 1 && ch <= 26)  // Ctrl+A ... Ctrl+Z: select all, copy, paste, cut, undo
    return QKeyEvent(QEvent::KeyPress, Qt::Key_A + (ch - 1), Qt::ControlModifier, QString(QChar(ch)));
  const QString text = ToQString(std::string(1, char(ch)));
  int key = Qt::Key_unknown;
  if (ch >= 'a' && ch <= 'z') key = Qt::Key_A + (ch - 'a');
  else if (ch >= 32 && ch < 127) key = QChar(ch).toUpper().unicode();
  return QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text);
}

// The edit's context menu in the program's language, through the popup menu and clipboard services.
void ShowEditContextMenu(QLineEdit* le, QPoint screen) {
  enum { kUndo = 1, kCut, kCopy, kPaste, kDelete, kSelectAll };
  const bool sel = le->hasSelectedText(), rw = !le->isReadOnly();
  const bool password = le->echoMode() != QLineEdit::Normal;
  const bool clip = Services().Clipboard && Services().Clipboard->HasText();
  const std::vector<TMenuItemSpec> items = {
      {"R\xFC" "ckg\xE4" "ngig", kUndo, rw && le->isUndoAvailable(), false, {}},
      {"-", 0, true, false, {}},
      {"Ausschneiden", kCut, rw && sel && !password, false, {}},
      {"Kopieren", kCopy, sel && !password, false, {}},
      {"Einf\xFC" "gen", kPaste, rw && clip, false, {}},
      {"L\xF6" "schen", kDelete, rw && sel, false, {}},
      {"-", 0, true, false, {}},
      {"Alles markieren", kSelectAll, !le->text().isEmpty(), false, {}},
  };
  QPointer<QLineEdit> guard(le);
  const int cmd = Services().PopupMenus ? Services().PopupMenus->Track(items, FromQPoint(screen), nullptr) : 0;
  if (!guard) return;
  switch (cmd) {
    case kUndo: le->undo(); break;
    case kCut:
      Services().Clipboard->SetText(FromQString(le->selectedText()));
      le->del();
      break;
    case kCopy: Services().Clipboard->SetText(FromQString(le->selectedText())); break;
    case kPaste: le->insert(ToQString(Services().Clipboard->GetText())); break;
    case kDelete: le->del(); break;
    case kSelectAll: le->selectAll(); break;
    default: break;
  }
}
}  // namespace

bool TEditFilter::eventFilter(QObject* obj, QEvent* e) {
  if (obj != edit_->edit_) return false;
  QPointer<TEdit> self(edit_);
  QLineEdit* le = edit_->edit_;
  switch (e->type()) {
    case QEvent::ShortcutOverride: {
      // Keys typed into the edit belong to it, not to a host's shortcuts.
      auto* ke = static_cast<QKeyEvent*>(e);
      if (!(ke->modifiers() & Qt::AltModifier)) e->accept();
      return false;
    }
    case QEvent::KeyPress: {
      auto* ke = static_cast<QKeyEvent*>(e);
      intptr_t ss = KeyShift(ke->key(), int(ke->modifiers()));
      e->accept();
      if (const int vk = QtKeyToVirtualKey(ke->key())) {
        if (HeldKeys().Press(vk, ke->isAutoRepeat(), ke->timestamp())) ss |= KF_REPEAT;
        inFilter = true;
        const intptr_t pass = self->Perform(WM_KEYDOWN, vk, ss);
        if (!self) return true;
        inFilter = false;
        if (!pass) return true;
      }
      const QByteArray utf8 = ke->text().toUtf8();
      const int ch = KeyPressToChar(ke->key(), std::string(utf8.constData(), size_t(utf8.size())),
                                    ke->modifiers() & Qt::ControlModifier, ke->modifiers() & Qt::AltModifier);
      if (ch >= 0) {
        inFilter = true;
        const intptr_t typed = self->Perform(WM_CHAR, ch, ss);
        if (!self) return true;
        inFilter = false;
        if (typed == 0) return true;
        if (typed != ch) {
          // OnKeyPress replaced the character: type the new one instead.
          QKeyEvent other = CharToKeyEvent((unsigned char)typed);
          Deliver(&other);
          e->accept();
          return true;
        }
      }
      Deliver(e);
      e->accept();
      return true;
    }
    case QEvent::KeyRelease: {
      auto* ke = static_cast<QKeyEvent*>(e);
      const int vk = QtKeyToVirtualKey(ke->key());
      e->accept();
      if (vk && !ke->isAutoRepeat()) {
        const intptr_t pass = self->Perform(WM_KEYUP, vk, QtModifiersToShift(int(ke->modifiers()), 0));
        if (!self || !pass) return true;
      }
      Deliver(e);
      e->accept();
      return true;
    }
    case QEvent::FocusIn: {
      auto* fe = static_cast<QFocusEvent*>(e);
      if (!FocusReasonCounts(fe->reason())) return false;
      // The line edit takes the focus first (selecting all when tabbed into), then the handlers hear of it.
      Deliver(e);
      self->Perform(WM_SETFOCUS, FocusHowFromReason(fe->reason()));
      return true;
    }
    case QEvent::FocusOut: {
      auto* fe = static_cast<QFocusEvent*>(e);
      if (!FocusReasonCounts(fe->reason())) return false;
      if (!hideSelection && le->hasSelectedText()) {
        // The line edit drops its selection when it loses the focus; put it back.
        const int start = le->selectionStart(), len = int(le->selectedText().size());
        const bool caretAtStart = le->cursorPosition() == start;
        Deliver(e);
        if (caretAtStart) le->setSelection(start + len, -len);
        else le->setSelection(start, len);
      } else {
        Deliver(e);
      }
      self->Perform(WM_KILLFOCUS, intptr_t(ControlOfFocusWidget(QApplication::focusWidget())));
      return true;
    }
    case QEvent::ContextMenu: {
      ShowEditContextMenu(le, static_cast<QContextMenuEvent*>(e)->globalPos());
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (me->button() != Qt::LeftButton || !le->rect().contains(me->position().toPoint()) || !edit_->OnClick)
        return false;
      Deliver(e);
      if (self && self->OnClick) {
        TNotifyEvent handler = self->OnClick;
        handler(self.data());
      }
      return true;
    }
    default:
      return false;
  }
}

TEdit::TEdit(QWidget* owner) : TControl(owner), edit_(new QLineEdit(this)) {
  edit_->setFrame(false);
  edit_->setContextMenuPolicy(Qt::DefaultContextMenu);
  edit_->setAttribute(Qt::WA_InputMethodEnabled, false);
  edit_->setMaxLength(32767);
  ClassicPalette(edit_, false);
  edit_->setFont(TCanvas::ToQFont(Font(), 96));
  FillWith(this, edit_, 2);
  AddSunkenBorder(this);
  edit_->installEventFilter(new TEditFilter(this));
  setFocusProxy(edit_);
  SetColor(clWindow);
  SetTabStop(true);
  resize(121, 21);
  QObject::connect(edit_, &QLineEdit::textChanged, this, [this] {
    if (OnChange) {
      TNotifyEvent handler = OnChange;
      handler(this);
    }
  });
}

// The wrapped widget goes first, while this is still a TEdit: its last events (focus out,
// hide) must not reach handlers of an object half destroyed.
TEdit::~TEdit() {
  for (TEditFilter* f : ChildrenOf<TEditFilter>(this)) delete f;
  delete edit_;
}

std::string TEdit::Text() const { return FromQString(edit_->text()); }

void TEdit::SetText(const std::string& text) {
  const QString q = ToQString(text);
  if (q == edit_->text()) return;
  edit_->setText(q);
  edit_->setCursorPosition(0);
}

int TEdit::SelStart() const { return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition(); }

int TEdit::SelLength() const { return edit_->hasSelectedText() ? int(edit_->selectedText().size()) : 0; }

void TEdit::SetSelStart(int start) {
  edit_->deselect();
  edit_->setCursorPosition(std::clamp(start, 0, int(edit_->text().size())));
}

void TEdit::SetSel(int start, int length) {
  const int n = int(edit_->text().size());
  start = std::clamp(start, 0, n);
  length = std::clamp(length, 0, n - start);
  if (length == 0) SetSelStart(start);
  else edit_->setSelection(start, length);
}

void TEdit::SelectAll() { edit_->selectAll(); }

void TEdit::SetMaxLength(int n) { edit_->setMaxLength(n > 0 ? n : 32767); }

void TEdit::SetHideSelection(bool hide) {
  ChildrenOf<TEditFilter>(this).front()->hideSelection = hide;
  ClassicPalette(edit_, !hide);
}

void TEdit::SetReadOnly(bool ro) { edit_->setReadOnly(ro); }

void TEdit::Dispatch(TMessage& msg) {
  TEditFilter* filter = ChildrenOf<TEditFilter>(this).front();
  QPointer<TEdit> self(this);
  // Keys that come from the line edit itself go on to it when Result is not 0;
  // keys sent from elsewhere are typed into it here.
  const bool fromEditor = filter->inFilter;
  switch (msg.Msg) {
    case WM_KEYDOWN: {
      int key = int(msg.WParam);
      if (OnKeyDown) {
        TKeyEvent handler = OnKeyDown;
        handler(this, key, KeyShiftOf(msg));
        if (!self) return;
      }
      msg.Result = key;
      if (key == 0) return;
      if (key == VK_TAB) {
        msg.Result = 0;
        msg.WParam = key;
        TControl::Dispatch(msg);
        return;
      }
      if (!fromEditor) {
        const int qtKey = key == VK_LEFT ? Qt::Key_Left : key == VK_RIGHT ? Qt::Key_Right
                          : key == VK_HOME ? Qt::Key_Home : key == VK_END ? Qt::Key_End
                          : key == VK_DELETE ? Qt::Key_Delete : key == VK_BACK ? Qt::Key_Backspace : 0;
        if (qtKey) {
          Qt::KeyboardModifiers mods;
          if (msg.LParam & ssShift) mods |= Qt::ShiftModifier;
          if (msg.LParam & ssCtrl) mods |= Qt::ControlModifier;
          QKeyEvent ke(QEvent::KeyPress, qtKey, mods, QString());
          filter->Deliver(&ke);
        }
      }
      return;
    }
    case WM_KEYUP: {
      int key = int(msg.WParam);
      if (OnKeyUp) {
        TKeyEvent handler = OnKeyUp;
        handler(this, key, KeyShiftOf(msg));
        if (!self) return;
      }
      msg.Result = key;
      return;
    }
    case WM_CHAR: {
      char ch = char(msg.WParam);
      if (OnKeyPress) {
        TKeyPressEvent handler = OnKeyPress;
        handler(this, ch);
        if (!self) return;
      }
      msg.Result = (unsigned char)ch;
      if (ch == 0 || fromEditor) return;
      if (edit_->isReadOnly() && (unsigned char)ch >= 32) return;
      QKeyEvent ke = CharToKeyEvent((unsigned char)ch);
      filter->Deliver(&ke);
      return;
    }
    case WM_SETFOCUS:
      if (OnEnter) {
        TNotifyEvent handler = OnEnter;
        handler(this);
      }
      return;
    case WM_KILLFOCUS:
      if (OnExit) {
        TNotifyEvent handler = OnExit;
        handler(this);
      }
      return;
    case WM_CUT: edit_->cut(); return;
    case WM_COPY: edit_->copy(); return;
    case WM_PASTE: edit_->paste(); return;
    case WM_CLEAR: edit_->del(); return;
    case CM_FONTCHANGED: edit_->setFont(TCanvas::ToQFont(Font(), 96)); break;
    default: break;
  }
  TControl::Dispatch(msg);
}

}  // namespace komp
