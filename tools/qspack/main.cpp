// qspack PROJECT_DIR OUTPUT_EXE [--host PATH] [--strict] [--icon FILE.ico]
//        [--version A.B.C.D] [--product NAME] [--company NAME] [--description TEXT]
// Packs a script project folder into a standalone executable.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/qspack/pack.h"
#include "win32/text.h"

namespace {

void PrintLine(const std::wstring& line) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(n > 0 ? n - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, utf8.data(), n, nullptr, nullptr);
  fprintf(stderr, "qspack: %s\n", utf8.c_str());
}

int Usage() {
  fprintf(stderr,
          "usage: qspack PROJECT_DIR OUTPUT_EXE [--host PATH] [--strict] [--icon FILE.ico]\n"
          "              [--version A.B.C.D] [--product NAME] [--company NAME] [--description TEXT]\n");
  return qs::pack::kBadArguments;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring project, output;
  qs::pack::PackOptions options;
  options.showProgress = true;
  options.report = PrintLine;
  qs::pack::VersionInfo version;
  bool versioned = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == L"--strict") options.strict = true;
    else if (argument == L"--host" && hasValue) options.hostPath = argv[++i];
    else if (argument == L"--icon" && hasValue) options.iconPath = argv[++i];
    else if (argument == L"--version" && hasValue) {
      if (!qs::pack::ParseVersion(argv[++i], &version)) return Usage();
      versioned = true;
    } else if (argument == L"--product" && hasValue) {
      version.productName = argv[++i];
      versioned = true;
    } else if (argument == L"--company" && hasValue) {
      version.companyName = argv[++i];
      versioned = true;
    } else if (argument == L"--description" && hasValue) {
      version.description = argv[++i];
      versioned = true;
    } else if (argument.rfind(L"--", 0) == 0) return Usage();
    else if (project.empty()) project = argument;
    else if (output.empty()) output = argument;
    else return Usage();
  }
  if (project.empty() || output.empty()) return Usage();
  if (versioned) options.version = version;
  if (options.hostPath.empty()) {
    const std::wstring self = win32::GetModulePath(nullptr);
    options.hostPath = self.substr(0, self.find_last_of(L"\\/") + 1) + L"QSExe.exe";
  }
  const qs::pack::PackStatus status = qs::pack::PackProject(project, output, options);
  if (status == qs::pack::kPacked) PrintLine(L"packed " + project + L" into " + output);
  return status;
}
