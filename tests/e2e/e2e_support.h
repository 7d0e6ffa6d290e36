// End-to-end test support: script projects written to disk, packed with the
// real packer, run as real processes under the driver, observed through the
// engine log and the work directory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tools/driver/driver.h"
#include "win32/text.h"

namespace qs::test {

// The folder of the test program (the build's bin folder).
std::wstring BinDir();
// A fresh, empty scratch folder for this test.
std::wstring ScratchDir(const std::wstring& name);
using driver::WriteFileBytes;
// UTF-16LE, no byte-order mark, lines joined with CR LF.
void WriteForm(const std::wstring& path, const std::u16string& text);

class Project {
 public:
  explicit Project(const std::wstring& name);
  const std::wstring& dir() const { return dir_; }

  Project& Form(const std::u16string& text);
  Project& Script(const std::string& utf8);
  // Copies an engine library of the bin folder into the project as scriptcore.dll.
  Project& Engine(const std::wstring& library = L"scriptcore.dll");
  Project& File(const std::wstring& name, const std::string& bytes);
  // Packs the project into <scratch>\<name>.exe and returns its path.
  std::wstring Pack(const std::wstring& exeName = L"");

 private:
  std::wstring name_;
  std::wstring dir_;
};

// One run of a packaged executable with its own temporary folder and log.
class HostRun {
 public:
  explicit HostRun(const std::wstring& exe, driver::StartOptions options = {});
  driver::HostProcess& host() { return host_; }
  bool started() const { return started_; }

  // TMP of the host, and the work directory the host forms under it.
  const std::wstring& tempDir() const { return tempDir_; }
  std::wstring WorkDir() const;
  const std::wstring& startDir() const { return startDir_; }

  std::vector<std::string> LogLines() const;
  // The log lines of the entry points (QSInitialPlatform ... QSTerminate).
  std::vector<std::string> EntryLines() const;
  bool WaitForLog(const std::string& text, DWORD timeoutMs);
  // After the process ended: what departs from the close sequence of a
  // form whose close event is main.quit (the event, QSTerminate, the work
  // directory removed); empty when nothing does.
  std::string CloseSequenceFault() const;
  // Closes the main window and waits for the process to end.
  bool CloseAndWait(DWORD timeoutMs = 30000);

 private:
  std::wstring exe_;
  std::wstring tempDir_, startDir_, logPath_;
  driver::HostProcess host_;
  bool started_ = false;
};

// A console program run to its end with its standard output and error
// collected (UTF-8 as the tools print it).
struct ToolRun {
  bool ended = false;  // false: killed at the timeout
  DWORD exitCode = STILL_ACTIVE;
  std::string output;
};
ToolRun RunTool(const std::wstring& program, const std::wstring& arguments, const std::wstring& currentDirectory = L"",
                DWORD timeoutMs = 180000);

// The paths an archive holds (7-Zip's own listing), sorted; folders too.
std::vector<std::string> ArchivePaths(const std::string& archive);
// The package a packed executable carries (resource QSLC / 130).
std::string PackageOf(const std::wstring& exe);

// Registers (or unregisters) the stand-in plug-in dmstub.dll of the bin
// folder for the current user, as dm.dmsoft.
bool RegisterPluginStub(bool registered);

using win32::Utf8;
std::string HandleText(HWND window);  // as the engine logs a window handle

}  // namespace qs::test
