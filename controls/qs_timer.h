// CQSTimer, the clock: a blank static window running timer 1 that raises
// "时钟" at every tick.
#pragma once

#include <string>

#include "controls/qs_control.h"

namespace qs {

class CQSTimer : public CQSControl {
 public:
  // Starts (or restarts with a new interval) timer 1 on the clock's window.
  void Start(UINT interval);
  void Stop();
  void set_tickEvent(std::u16string event) { tickEvent_ = std::move(event); }

  UINT interval() const { return interval_; }
  UINT_PTR timerId() const { return timerId_; }

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  std::u16string tickEvent_;
  UINT interval_ = 0;
  UINT_PTR timerId_ = 0;
};

// CQSHotKeyCtrl, the hot key: the platform's hot-key field whose combination
// is registered as a system-wide hot key (identifier 1) on its own window.
// The form's modifier value is in the hot-key field's flags (Shift 1, Ctrl 2,
// Alt 4, extended 8); registration translates it, so the combination the
// field shows is the one that fires.
class CQSHotKeyCtrl : public CQSControl {
 public:
  void SetCombination(BYTE virtualKey, BYTE modifiers);
  BOOL Register();
  BOOL Unregister();
  // The key names of Ctrl, Shift and Alt (those present, in that order) and
  // of the key, joined by " + "; empty for an empty combination.
  std::wstring HotKeyName() const;

  void set_hotKeyEvent(std::u16string event) { hotKeyEvent_ = std::move(event); }
  void set_lostFocusEvent(std::u16string event) { lostFocusEvent_ = std::move(event); }

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  std::u16string hotKeyEvent_;
  std::u16string lostFocusEvent_;
};

// The registration's modifier flags for a hot-key field's flags.
UINT HotKeyFieldToRegistration(BYTE fieldModifiers);

}  // namespace qs
