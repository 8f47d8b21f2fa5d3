// A timer on the clock service: real time in the program, a manual clock in tests.
// It runs while it is enabled, has an interval above 0 and a handler.
#pragma once
#include "framework/gui/controls.h"

namespace komp {

class TTimer : public TComponent {
 public:
  explicit TTimer(QObject* owner);
  ~TTimer() override;
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  // The handler may free the timer.
  void SetOnTimer(TNotifyEvent handler);

 private:
  void Restart();
  void Stop();
  TNotifyEvent onTimer_;
  int interval_ = 1000;
  bool enabled_ = true;
  int id_ = 0;
};

}  // namespace komp
