#include "tools/qspack/pack.h"

#include <windows.h>

#include "common/utf.h"
#include "host/sevenzip_runner.h"
#include "tools/driver/driver.h"
#include "tools/qsform/form_report.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace qs::pack {

namespace {

std::wstring WithoutTrailingSlash(std::wstring path) {
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

std::wstring Wide(const std::string& utf8) { return win32::ToWide(FromUtf8(utf8)); }

// Files and bytes below a folder, for the progress line.
void Measure(const std::wstring& dir, unsigned long long* files, unsigned long long* bytes) {
  WIN32_FIND_DATAW found;
  const win32::OwnedFind search(FindFirstFileW((dir + L"\\*").c_str(), &found));
  if (!search) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Measure(dir + L"\\" + name, files, bytes);
    } else {
      ++*files;
      *bytes += (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    }
  } while (FindNextFileW(search.get(), &found));
}

// The form's findings, as `qsform check` prints them; the count.
size_t CheckProjectForm(const std::wstring& projectDir, const std::function<void(const std::wstring&)>& report) {
  const std::wstring form = projectDir + L"\\main.qwin";
  if (!driver::FileExists(form)) return 0;
  const Findings findings = qsform::CheckForm(driver::ReadFileText(form), [&](const std::u16string& name) {
    const std::wstring path = projectDir + L"\\" + win32::ToWide(name);
    if (!driver::FileExists(path)) return std::optional<std::string>();
    return std::optional<std::string>(driver::ReadFileText(path).substr(0, 16));
  });
  for (const Finding& f : findings) report(L"main.qwin:" + std::to_wstring(f.line) + L": " + Wide(f.text));
  return findings.size();
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
  std::string icon;
  if (!options.iconPath.empty()) {
    const bool relative = options.iconPath.size() < 2 || (options.iconPath[1] != L':' && options.iconPath[0] != L'\\');
    const std::wstring iconPath = relative ? projectDir + L"\\" + options.iconPath : options.iconPath;
    icon = driver::ReadFileText(iconPath);
    if (icon.empty()) {
      report(L"error: icon not found: " + iconPath);
      return kBadArguments;
    }
  }
  for (const wchar_t* required : {L"main.qwin", L"scriptcore.dll"})
    if (!driver::FileExists(projectDir + L"\\" + required))
      report(std::wstring(L"warning: the project has no ") + required + L" (packed anyway)");
  const size_t findings = CheckProjectForm(projectDir, report);
  if (findings && options.strict) {
    report(L"error: the form has " + std::to_wstring(findings) + L" finding(s); nothing packed (--strict)");
    return kRefused;
  }

  unsigned long long files = 0, bytes = 0;
  Measure(projectDir, &files, &bytes);
  if (options.showProgress)
    report(L"packing " + std::to_wstring(files) + L" files, " + std::to_wstring(bytes / 1024) + L" KiB");
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring archive = std::wstring(temp) + L"qspack-" + std::to_wstring(GetCurrentProcessId()) + L".7z";
  DeleteFileW(archive.c_str());
  // No times and no attributes, a fixed thread count: the same folder always
  // gives the same archive.
  const int status = RunSevenZip({L"a", L"-t7z", L"-mx=7", L"-mmt=2", L"-mtm=off", L"-mtc=off", L"-mta=off",
                                  L"-mtr=off", L"-bso0", L"-bse0", options.showProgress ? L"-bsp1" : L"-bsp0",
                                  archive, projectDir + L"\\*"});
  const std::string package = driver::ReadFileText(archive);
  DeleteFileW(archive.c_str());
  if (status > 1 || package.empty()) {
    report(L"error: the project folder could not be archived (status " + std::to_wstring(status) + L")");
    return kFailed;
  }
  if (!CopyFileW(options.hostPath.c_str(), outputExe.c_str(), FALSE)) {
    report(L"error: cannot write " + outputExe);
    return kFailed;
  }
  // A new icon means starting from no resources, so that none of the old
  // icon images stays behind; the host's others are copied over.
  HANDLE update = BeginUpdateResourceW(outputExe.c_str(), !icon.empty());
  bool written = update != nullptr;
  if (written && !icon.empty()) {
    written = CopyResourcesButIcons(update, options.hostPath);
    if (written && !WriteIcon(update, icon)) {
      report(L"error: not an icon file: " + options.iconPath);
      written = false;
    }
  }
  written = written && UpdateResourceW(update, L"QSLC", MAKEINTRESOURCEW(130), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                       const_cast<char*>(package.data()), static_cast<DWORD>(package.size()));
  if (written && options.version) written = WriteVersionInfo(update, *options.version);
  if (update) written = EndUpdateResourceW(update, !written) && written;
  if (!written) {
    DeleteFileW(outputExe.c_str());
    report(L"error: cannot write the resources of " + outputExe);
    return kFailed;
  }
  return kPacked;
}

}  // namespace qs::pack
