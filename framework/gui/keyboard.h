// The record of held keys, so that one press of a key counts once until its release.
//
// Qt's auto-repeat flag is not enough: an X server repeats a held key as release/press pairs
// that Qt recognises only when the press has already arrived when it reads the release, and
// other setups repeat with presses alone, flagged as new ones. So a press of a key that is
// already down is a repeat, and so is a press that carries the very timestamp of the key's
// last release (the pair the server made). Timestamp 0 means unknown and never pairs.
#pragma once
#include <cstdint>
#include <set>

namespace komp {

class TKeyTracker {
 public:
  // A key press; true when it repeats a held key.
  bool Press(int vk, bool qtRepeat, uint64_t timestamp);
  // A key release; false when Qt flags it as part of an auto-repeat (the key stays down).
  bool Release(int vk, bool qtRepeat, uint64_t timestamp);
  // Forgets every held key (the application lost the keyboard: releases go elsewhere).
  void Clear();
  bool Held(int vk) const { return held_.count(vk) > 0; }

 private:
  std::set<int> held_;
  int lastReleased_ = 0;
  uint64_t lastReleaseTime_ = 0;
};

// The application's record, kept by the framework for every key event a control receives.
TKeyTracker& HeldKeys();
// Watches the whole application for key releases and for losing the keyboard, so that the
// record stays right when a release goes to a widget that is no control. Idempotent.
void WatchHeldKeys();

}  // namespace komp
