// Keyboard input: the translation of Qt keys into key messages (pure functions, tested as
// tables) and the record of held keys that tells a new press from an auto-repeat.
#include "framework/gui/keyboard.h"

#include <QApplication>
#include <QKeyEvent>

#include "framework/cp1252.h"
#include "framework/gui/controls.h"

namespace komp {

// ---------------------------------------------------------------- translation

int QtKeyToVirtualKey(int k) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return VK_F1 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Minus: return 0xBD;
    case Qt::Key_Period: return 0xBE;
    case Qt::Key_Adiaeresis: return 0xDE;
    case Qt::Key_Odiaeresis: return 0xC0;
    case Qt::Key_Udiaeresis: return 0xBA;
    case Qt::Key_ssharp: return 0xDB;
    default: return 0;
  }
}

int KeyPressToChar(int key, const std::string& textUtf8, bool ctrl, bool alt) {
  if (alt) return -1;
  if (ctrl) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 1 + (key - Qt::Key_A);
    return -1;
  }
  switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Delete: return -1;
    default: break;
  }
  if (textUtf8.empty()) return -1;
  const std::string cp = Utf8ToCp1252(textUtf8);
  const auto c = static_cast<unsigned char>(cp[0]);
  if (c < 32 || c == 127) return -1;
  if (c == '?' && textUtf8[0] != '?') return -1;  // no such character in code page 1252
  return c;
}

TShiftState QtModifiersToShift(int mods, int buttons) {
  TShiftState s = 0;
  if (mods & Qt::ShiftModifier) s |= ssShift;
  if (mods & Qt::ControlModifier) s |= ssCtrl;
  if (mods & Qt::AltModifier) s |= ssAlt;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  return s;
}

TShiftState KeyShift(int qtKey, int qtModifiers) {
  TShiftState s = QtModifiersToShift(qtModifiers, 0);
  if (qtKey == Qt::Key_Backtab) s |= ssShift;
  return s;
}

// ---------------------------------------------------------------- held keys

bool TKeyTracker::Press(int vk, bool qtRepeat, uint64_t timestamp) {
  const bool pairedWithRelease = timestamp != 0 && vk == lastReleased_ && timestamp == lastReleaseTime_;
  const bool repeat = qtRepeat || Held(vk) || pairedWithRelease;
  held_.insert(vk);
  return repeat;
}

bool TKeyTracker::Release(int vk, bool qtRepeat, uint64_t timestamp) {
  if (qtRepeat) return false;
  held_.erase(vk);
  lastReleased_ = vk;
  lastReleaseTime_ = timestamp;
  return true;
}

void TKeyTracker::Clear() {
  held_.clear();
  lastReleased_ = 0;
  lastReleaseTime_ = 0;
}

TKeyTracker& HeldKeys() {
  static TKeyTracker tracker;
  return tracker;
}

namespace {
class HeldKeysWatch : public QObject {
 public:
  explicit HeldKeysWatch(QObject* app) : QObject(app) { app->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyRelease: {
        // Seen once per widget the release passes through; recording it again changes nothing.
        auto* ke = static_cast<QKeyEvent*>(e);
        if (const int vk = QtKeyToVirtualKey(ke->key())) HeldKeys().Release(vk, ke->isAutoRepeat(), ke->timestamp());
        break;
      }
      case QEvent::ApplicationStateChange:
        if (static_cast<QApplicationStateChangeEvent*>(e)->applicationState() != Qt::ApplicationActive)
          HeldKeys().Clear();
        break;
      default:
        break;
    }
    return false;
  }
};
}  // namespace

void WatchHeldKeys() {
  static bool watching = false;
  if (watching || !QCoreApplication::instance()) return;
  watching = true;
  new HeldKeysWatch(QCoreApplication::instance());
}

}  // namespace komp
