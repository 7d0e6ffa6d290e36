#include "tools/qspack/pack.h"

#include <windows.h>

#include "host/sevenzip_runner.h"
#include "tools/driver/driver.h"

namespace qs::pack {

namespace {

std::wstring WithoutTrailingSlash(std::wstring path) {
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

}  // namespace

bool EmbedPackage(const std::wstring& exePath, const std::string& bytes) {
  HANDLE update = BeginUpdateResourceW(exePath.c_str(), FALSE);
  if (!update) return false;
  const BOOL added = UpdateResourceW(update, L"QSLC", MAKEINTRESOURCEW(130), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                     const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  return EndUpdateResourceW(update, !added) && added;
}

PackStatus PackProject(const std::wstring& projectDirIn, const std::wstring& outputExe, const PackOptions& options) {
  auto report = [&](const std::wstring& line) {
    if (options.report) options.report(line);
  };
  const std::wstring projectDir = WithoutTrailingSlash(projectDirIn);
  if (!driver::DirectoryExists(projectDir)) {
    report(L"error: project folder not found: " + projectDir);
    return kBadArguments;
  }
  if (!driver::FileExists(options.hostPath)) {
    report(L"error: host executable not found: " + options.hostPath);
    return kBadArguments;
  }
  for (const wchar_t* required : {L"main.qwin", L"scriptcore.dll"})
    if (!driver::FileExists(projectDir + L"\\" + required))
      report(std::wstring(L"warning: the project has no ") + required + L" (packed anyway)");

  const std::wstring archive = outputExe + L".qspack.7z";
  DeleteFileW(archive.c_str());
  // No times and no attributes, a fixed thread count: the same folder always
  // gives the same archive.
  const int status = RunSevenZip({L"a", L"-t7z", L"-mx=7", L"-mmt=2", L"-mtm=off", L"-mtc=off", L"-mta=off",
                                  L"-mtr=off", L"-bso0", L"-bse0", options.showProgress ? L"-bsp1" : L"-bsp0",
                                  archive, projectDir + L"\\*"});
  const std::string bytes = driver::ReadFileText(archive);
  DeleteFileW(archive.c_str());
  if (status > 1 || bytes.empty()) {
    report(L"error: the project folder could not be archived (status " + std::to_wstring(status) + L")");
    return kFailed;
  }
  if (!CopyFileW(options.hostPath.c_str(), outputExe.c_str(), FALSE)) {
    report(L"error: cannot write " + outputExe);
    return kFailed;
  }
  if (!EmbedPackage(outputExe, bytes)) {
    DeleteFileW(outputExe.c_str());
    report(L"error: cannot embed the package into " + outputExe);
    return kFailed;
  }
  return kPacked;
}

}  // namespace qs::pack
