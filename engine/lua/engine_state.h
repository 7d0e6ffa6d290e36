// The Lua engine's process-wide state. Lua runs in one state shared by every
// script thread; the script lock lets one thread at a time run Lua code and
// is released around everything that waits (a message to the host, sleep, a
// message box) and every few thousand instructions when another thread
// waits for it, so threads run side by side and see the same globals.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "engine/lua/api_names.h"

struct lua_State;

namespace qs::lua {

// A first-come, first-served lock: a thread that gives it up for a moment
// (the instruction hook) lets the longest waiting thread in first.
class ScriptLock {
 public:
  void Lock() {
    AcquireSRWLockExclusive(&guard_);
    const unsigned long long ticket = next_++;
    while (serving_ != ticket) SleepConditionVariableSRW(&turn_, &guard_, INFINITE, 0);
    ReleaseSRWLockExclusive(&guard_);
  }
  void Unlock() {
    AcquireSRWLockExclusive(&guard_);
    ++serving_;
    const bool waiting = next_ != serving_;
    ReleaseSRWLockExclusive(&guard_);
    if (waiting) WakeAllConditionVariable(&turn_);
  }
  // Whether another thread waits; asked by the holder (without the guard:
  // a hint, which is all the instruction hook needs).
  bool Contended() const { return next_ - serving_ > 1; }

 private:
  SRWLOCK guard_ = SRWLOCK_INIT;
  CONDITION_VARIABLE turn_ = CONDITION_VARIABLE_INIT;
  std::atomic<unsigned long long> next_{0}, serving_{0};
};

// Gives the script lock up for the life of the object and takes it back.
class Unlocked {
 public:
  explicit Unlocked(ScriptLock& lock) : lock_(lock) { lock_.Unlock(); }
  ~Unlocked() { lock_.Lock(); }
  Unlocked(const Unlocked&) = delete;
  Unlocked& operator=(const Unlocked&) = delete;

 private:
  ScriptLock& lock_;
};

struct EngineState {
  HWND host = nullptr;
  std::wstring workDirectory;
  std::string scriptName = "sourseTemp.bak";  // as errors name the script
  bool debug = false;
  ApiNames api;

  ScriptLock lock;
  lua_State* lua = nullptr;  // under the lock
  std::atomic<bool> stopping{false};
  HANDLE stopEvent = nullptr;  // set by QSTerminate: cuts sleeps short
};

EngineState& Engine();

// Starts `module.function` (split at the first full stop) on a thread of its own.
void StartScriptThread(const std::string& module, const std::string& function);

// Writes the error to the log and, in debug mode, shows it in a message box
// (the lock is released while the box is open).
void ReportError(const std::string& where, const std::string& message);

}  // namespace qs::lua
