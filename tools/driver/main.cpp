// qsdriver [--timeout MS] [--env NAME=VALUE]... [--cmdline TEXT] [--close-after MS]
//          [--tour FILE --out DIR] PROGRAM
// Starts PROGRAM, answers and prints its message boxes, optionally runs a
// tour of its main window (tools/driver/tour.h) or closes it after a while,
// and prints its exit code. Exit status: 0 when the program ended within the
// timeout (and the tour went through), 1 when a tour step failed, 2 for bad
// arguments, 3 when the program had to be killed, 4 when it ended without
// showing the window that the tour or --close-after needed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/driver/driver.h"
#include "tools/driver/tour.h"
#include "win32/text.h"

namespace {

using win32::Utf8;

int Usage() {
  fprintf(stderr,
          "usage: qsdriver [--timeout MS] [--env NAME=VALUE]... [--cmdline TEXT] [--close-after MS]\n"
          "                [--tour FILE --out DIR] PROGRAM\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  DWORD timeout = 60000;
  long closeAfter = -1;
  std::wstring program, tourPath, outDir;
  qs::driver::StartOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == L"--timeout" && hasValue) timeout = wcstoul(argv[++i], nullptr, 10);
    else if (argument == L"--close-after" && hasValue) closeAfter = wcstol(argv[++i], nullptr, 10);
    else if (argument == L"--cmdline" && hasValue) options.commandLine = argv[++i];
    else if (argument == L"--tour" && hasValue) tourPath = argv[++i];
    else if (argument == L"--out" && hasValue) outDir = argv[++i];
    else if (argument == L"--env" && hasValue) {
      const std::wstring pair = argv[++i];
      const size_t equals = pair.find(L'=');
      if (equals == std::wstring::npos) return Usage();
      options.environment.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
    } else if (argument.rfind(L"--", 0) == 0 || !program.empty()) {
      return Usage();
    } else {
      program = argument;
    }
  }
  if (program.empty() || (!tourPath.empty() && outDir.empty())) return Usage();
  std::vector<std::wstring> tour;
  if (!tourPath.empty()) {
    const std::string text = qs::driver::ReadFileText(tourPath);
    const std::wstring all = win32::WideFromUtf8(text);
    for (size_t start = 0, end; start <= all.size(); start = end + 1) {
      end = all.find(L'\n', start);
      if (end == std::wstring::npos) end = all.size();
      std::wstring line = all.substr(start, end - start);
      if (!line.empty() && line.back() == L'\r') line.pop_back();
      tour.push_back(line);
    }
    if (tour.empty() || text.empty()) {
      fprintf(stderr, "qsdriver: cannot read the tour %s\n", Utf8(tourPath).c_str());
      return 2;
    }
  }

  qs::driver::HostProcess host;
  if (!host.Start(program, options)) {
    fprintf(stderr, "qsdriver: cannot start %s (error %lu)\n", Utf8(program).c_str(), GetLastError());
    return 2;
  }
  size_t printed = 0;
  auto printBoxes = [&] {
    for (; printed < host.boxes().size(); ++printed)
      printf("box: %s | %s\n", Utf8(host.boxes()[printed].caption).c_str(), Utf8(host.boxes()[printed].text).c_str());
    fflush(stdout);
  };
  const ULONGLONG start = GetTickCount64();
  bool toured = true;
  // A tour or a timed close needs the window; without either the program
  // is only served until it ends.
  const bool needsWindow = !tour.empty() || closeAfter >= 0;
  HWND window = needsWindow ? host.WaitForMainWindow(timeout) : nullptr;
  if (window && !tour.empty()) {
    toured = qs::driver::RunTour(host, window, tour, outDir, [](const std::wstring& line) {
      printf("%s\n", Utf8(line).c_str());
      fflush(stdout);
    });
    if (!toured) host.CloseMainWindow();
  } else if (window) {
    wchar_t caption[512] = {};
    GetWindowTextW(window, caption, 512);
    printf("window: %s\n", Utf8(caption).c_str());
    host.ServeUntil([] { return false; }, static_cast<DWORD>(closeAfter));
    host.CloseMainWindow();
  }
  const ULONGLONG elapsed = GetTickCount64() - start;
  const bool ended = host.WaitForExit(elapsed < timeout ? static_cast<DWORD>(timeout - elapsed) : 0);
  printBoxes();
  if (!ended) {
    host.Kill();
    printf("timeout: killed after %lu ms\n", timeout);
    return 3;
  }
  printf("exit: %lu\n", host.exitCode());
  if (needsWindow && !window) {
    printf("no window: the program ended without showing its window; %s\n",
           tour.empty() ? "it was not closed by qsdriver" : "the tour did not run");
    return 4;
  }
  return toured ? 0 : 1;
}
