// qspack PROJECT_DIR OUTPUT_EXE [--host PATH] [--strict] [--force] [--icon FILE.ico]
//        [--version A.B.C.D] [--product NAME] [--company NAME] [--description TEXT]
// Packs a script project folder into a standalone executable.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/qspack/pack.h"
#include "win32/text.h"

namespace {

void PrintLine(const std::wstring& line) {
  fprintf(stderr, "qspack: %s\n", win32::Utf8(line).c_str());
}

// What was wrong with the command line, then the usage.
int Usage(const std::wstring& problem) {
  PrintLine(problem);
  fprintf(stderr,
          "usage: qspack PROJECT_DIR OUTPUT_EXE [--host PATH] [--strict] [--force] [--icon FILE.ico]\n"
          "              [--version A.B.C.D] [--product NAME] [--company NAME] [--description TEXT]\n");
  return qs::pack::kBadArguments;
}

bool TakesValue(const std::wstring& option) {
  for (const wchar_t* name : {L"--host", L"--icon", L"--version", L"--product", L"--company", L"--description"})
    if (option == name) return true;
  return false;
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
    // "C:\my project\" reaches a program as C:\my project" and the rest.
    if (argument.find(L'"') != std::wstring::npos)
      return Usage(L"the argument '" + argument +
                   L"' holds a double quote: a backslash right before a closing quote keeps the quote; leave the "
                   L"backslash out or double it");
    if (TakesValue(argument) && i + 1 >= argc) return Usage(argument + L" needs a value");
    if (argument == L"--strict") options.strict = true;
    else if (argument == L"--force") options.force = true;
    else if (argument == L"--host") options.hostPath = argv[++i];
    else if (argument == L"--icon") options.iconPath = argv[++i];
    else if (argument == L"--version") {
      const std::wstring text = argv[++i];
      if (!qs::pack::ParseVersion(text, &version))
        return Usage(L"--version takes one to four numbers 0-65535 joined by dots (A.B.C.D), not '" + text + L"'");
      versioned = true;
    } else if (argument == L"--product") {
      version.productName = argv[++i];
      versioned = true;
    } else if (argument == L"--company") {
      version.companyName = argv[++i];
      versioned = true;
    } else if (argument == L"--description") {
      version.description = argv[++i];
      versioned = true;
    } else if (argument.rfind(L"--", 0) == 0) return Usage(L"unknown option " + argument);
    else if (project.empty()) project = argument;
    else if (output.empty()) output = argument;
    else return Usage(L"one project folder and one output file; '" + argument + L"' is one too many");
  }
  if (project.empty() || output.empty()) return Usage(L"a project folder and an output file are needed");
  if (versioned) options.version = version;
  if (options.hostPath.empty()) {
    const std::wstring self = win32::GetModulePath(nullptr);
    options.hostPath = self.substr(0, self.find_last_of(L"\\/") + 1) + L"QSExe.exe";
  }
  const qs::pack::PackStatus status = qs::pack::PackProject(project, output, options);
  if (status == qs::pack::kPacked)
    PrintLine(L"packed " + qs::pack::ResolvePath(project) + L" into " + qs::pack::ResolvePath(output));
  return status;
}
