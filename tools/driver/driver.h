// The test driver: starts a packaged program, answers and records the
// message boxes it shows, finds its main window, drives it, and reports how
// it ended. Used by the end-to-end tests and by qsdriver.exe.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "win32/handles.h"

namespace qs::driver {

struct MessageBoxRecord {
  std::wstring caption;
  std::wstring text;
};

struct StartOptions {
  std::wstring commandLine;  // the whole command line; empty: the quoted program path
  std::vector<std::pair<std::wstring, std::wstring>> environment;  // added or replaced
  std::wstring currentDirectory;                                   // empty: the driver's own
  // A file that gets the program's standard output and error; empty: none.
  std::wstring standardOutput;
  // Called with the new process's id before its first instruction runs.
  std::function<void(DWORD processId)> beforeStart;
};

class HostProcess {
 public:
  HostProcess() = default;
  ~HostProcess();  // kills a process that is still running

  bool Start(const std::wstring& program, const StartOptions& options);

  // Serves the process (answering message boxes) until `done` returns true,
  // the process ends, or the timeout passes. True when `done` held or the
  // process ended.
  bool ServeUntil(const std::function<bool()>& done, DWORD timeoutMs);
  bool WaitForExit(DWORD timeoutMs);
  // The process's visible main dialog (not a message box), or null.
  HWND FindMainWindow() const;
  HWND WaitForMainWindow(DWORD timeoutMs);

  // Runs the main dialog's cancel command (what Escape and the close box do).
  void CloseMainWindow();
  void Kill();

  bool running() const;
  DWORD exitCode() const;
  DWORD processId() const { return processId_; }
  HANDLE process() const { return process_.get(); }
  const std::vector<MessageBoxRecord>& boxes() const { return boxes_; }
  // When false, boxes are recorded but left open (a test answers them).
  void set_answerBoxes(bool answer) { answerBoxes_ = answer; }

  // Records and answers (OK) every message box the process shows now.
  void AnswerBoxes();

 private:
  win32::OwnedHandle process_;
  DWORD processId_ = 0;
  std::vector<MessageBoxRecord> boxes_;
  std::vector<HWND> seenBoxes_;
  bool answerBoxes_ = true;
};

// Message boxes: a dialog with the text static 0xFFFF and a visible OK or
// Cancel button.
bool IsMessageBox(HWND window);
std::vector<HWND> TopLevelWindows(DWORD processId);
std::vector<HWND> MessageBoxes(DWORD processId);
MessageBoxRecord ReadMessageBox(HWND box);
// A window's text, also of an edit control in another process (WM_GETTEXT).
std::wstring WindowText(HWND window);
std::wstring WindowClass(HWND window);

// The first visible child (at any depth) of the given window class (null:
// any) and window text (null: any).
HWND FindDescendant(HWND parent, const wchar_t* className, const wchar_t* text);
// All descendants of a window class, in z-order.
std::vector<HWND> FindDescendants(HWND parent, const wchar_t* className);

// A picture of the screen area of a window, 32-bit 0x00RRGGBB pixels, top row first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Image CaptureWindow(HWND window);
bool SavePng(const Image& image, const std::wstring& path);
// A picture file (PNG or anything GDI+ decodes); empty when it cannot be read.
Image LoadImageFile(const std::wstring& path);

// What is wrong with the frame in a picture of a whole host window (a fixed
// dialog frame with a caption and its minimize and close buttons, laid out
// as this system's metrics lay it out): a title bar left black, caption
// buttons drawn as letters because the caption's symbol font is missing.
// Empty when the frame looks right.
std::wstring FrameFault(const Image& image);

// Keyboard input through SendInput (the window should be in the foreground).
void PressKey(WORD virtualKey);
void KeyDown(WORD virtualKey);
void KeyUp(WORD virtualKey);
// A left click at a point in a window's client coordinates, through SendInput.
void ClickAt(HWND window, int x, int y);

// The text of a file, as UTF-8 bytes.
std::string ReadFileText(const std::wstring& path);
// Creates or replaces the file with `bytes`; false when it cannot be written.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
bool DirectoryExists(const std::wstring& path);

}  // namespace qs::driver
