// The record of held keys that tells a new press from an auto-repeat. The translation of Qt
// keys into key messages is in input.cpp.
#include "framework/gui/keyboard.h"

#include <QApplication>
#include <QKeyEvent>

#include "framework/gui/input.h"

namespace komp {

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
