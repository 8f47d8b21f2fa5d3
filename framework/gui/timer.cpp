#include "framework/gui/timer.h"

#include <QPointer>

#include "framework/gui/services.h"

namespace komp {

TTimer::TTimer(QObject* owner) : TComponent(owner) {}

TTimer::~TTimer() { Stop(); }

void TTimer::SetInterval(int ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Restart();
}

void TTimer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Restart();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  Restart();
}

void TTimer::Stop() {
  if (id_ && Services().Clock) Services().Clock->StopTimer(id_);
  id_ = 0;
}

void TTimer::Restart() {
  Stop();
  if (!enabled_ || interval_ <= 0 || !onTimer_ || !Services().Clock) return;
  QPointer<TTimer> self(this);
  id_ = Services().Clock->StartTimer(interval_, [self] {
    if (self && self->onTimer_) {
      TNotifyEvent handler = self->onTimer_;  // survives the timer being freed inside
      handler(self.data());
    }
  });
}

}  // namespace komp
