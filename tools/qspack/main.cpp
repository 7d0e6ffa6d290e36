// qspack PROJECT_DIR OUTPUT_EXE [--host PATH]
// Packs a script project folder into a standalone executable.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/qspack/pack.h"
#include "win32/text.h"

namespace {

void PrintLine(const std::wstring& line) {
  const std::string utf8 = [&] {
    const int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, s.data(), n, nullptr, nullptr);
    return s;
  }();
  fprintf(stderr, "qspack: %s\n", utf8.c_str());
}

int Usage() {
  fprintf(stderr, "usage: qspack PROJECT_DIR OUTPUT_EXE [--host PATH]\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring project, output;
  qs::pack::PackOptions options;
  options.showProgress = true;
  options.report = PrintLine;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument == L"--host" && i + 1 < argc) options.hostPath = argv[++i];
    else if (argument.rfind(L"--", 0) == 0) return Usage();
    else if (project.empty()) project = argument;
    else if (output.empty()) output = argument;
    else return Usage();
  }
  if (project.empty() || output.empty()) return Usage();
  if (options.hostPath.empty()) {
    std::wstring self = win32::GetModulePath(nullptr);
    options.hostPath = self.substr(0, self.find_last_of(L"\\/") + 1) + L"QSExe.exe";
  }
  const qs::pack::PackStatus status = qs::pack::PackProject(project, output, options);
  if (status == qs::pack::kPacked) PrintLine(L"packed " + project + L" into " + output);
  return status;
}
