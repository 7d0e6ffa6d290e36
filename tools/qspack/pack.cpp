#include "tools/qspack/pack.h"

#include <windows.h>

#include <vector>

#include "common/utf.h"
#include "host/sevenzip_runner.h"
#include "tools/driver/driver.h"
#include "tools/qsform/form_report.h"
#include "tools/qsform/script_check.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace qs::pack {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring WithoutTrailingSlash(std::wstring path) {
  while (path.size() > 1 && IsSeparator(path.back()) && path[path.size() - 2] != L':') path.pop_back();
  return path;
}

bool IsAbsolute(const std::wstring& path) {
  return (!path.empty() && IsSeparator(path[0])) || (path.size() >= 2 && path[1] == L':');
}

// Under Wine a path like /home/me/project names a Unix folder; Wine says
// which DOS path reaches it. Elsewhere (and for //server/share) nothing.
std::optional<std::wstring> DosPathOfUnixPath(const std::wstring& path) {
  if (path.empty() || path[0] != L'/' || (path.size() > 1 && path[1] == L'/')) return std::nullopt;
  using DosName = WCHAR*(CDECL*)(const char*);
  const auto convert = reinterpret_cast<DosName>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (!convert) return std::nullopt;
  WCHAR* dos = convert(ToUtf8(win32::ToU16(path)).c_str());
  if (!dos) return std::nullopt;
  std::wstring result = dos;
  HeapFree(GetProcessHeap(), 0, dos);
  return result;
}

}  // namespace

std::wstring ResolvePath(const std::wstring& path) {
  if (path.empty()) return path;
  const std::wstring dos = DosPathOfUnixPath(path).value_or(path);
  const DWORD size = GetFullPathNameW(dos.c_str(), 0, nullptr, nullptr);
  if (size == 0) return dos;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(dos.c_str(), size, full.data(), nullptr);
  full.resize(length < size ? length : 0);
  return full.empty() ? dos : full;
}

namespace {

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

// The form's findings, as `qsform check` prints them.
size_t ReportFindings(const std::wstring& projectDir, const std::string& form,
                      const std::function<void(const std::wstring&)>& report) {
  const Findings findings = qsform::CheckForm(form, [&](const std::u16string& name) {
    const std::wstring path = projectDir + L"\\" + win32::ToWide(name);
    if (!driver::FileExists(path)) return std::optional<std::string>();
    return std::optional<std::string>(driver::ReadFileText(path).substr(0, 16));
  });
  for (const Finding& f : findings) report(L"main.qwin:" + std::to_wstring(f.line) + L": " + Wide(f.text));
  size_t count = findings.size();
  // A Lua project's script against its form.
  const std::wstring engine = projectDir + L"\\scriptcore.dll", script = projectDir + L"\\sourseTemp.bak";
  if (driver::FileExists(engine) && driver::FileExists(script) &&
      qsform::IsLuaEngine(driver::ReadFileText(engine))) {
    const qsform::ScriptFindings checked =
        qsform::CheckScript(driver::ReadFileText(script), "sourseTemp.bak", qsform::FormEventsOf(form));
    for (const Finding& f : checked.form) report(L"main.qwin:" + std::to_wstring(f.line) + L": " + Wide(f.text));
    for (const Finding& f : checked.script)
      report(L"sourseTemp.bak:" + std::to_wstring(f.line) + L": " + Wide(f.text));
    count += checked.form.size() + checked.script.size();
  }
  return count;
}

// The entries at the root of the project named like the host's package file.
std::vector<std::wstring> PackageFileNames(const std::wstring& projectDir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  const win32::OwnedFind search(FindFirstFileW((projectDir + L"\\*").c_str(), &found));
  if (!search) return names;
  do {
    if (qsform::IsPackageFileName(win32::View(found.cFileName))) names.push_back(found.cFileName);
  } while (FindNextFileW(search.get(), &found));
  return names;
}

}  // namespace

// "i686, 1067 KiB": the machine a host program is built for, and its size.
std::wstring HostDescription(const std::string& exe) {
  auto at = [&](size_t offset, size_t size) {
    unsigned long value = 0;
    for (size_t i = 0; i < size && offset + i < exe.size(); ++i)
      value |= static_cast<unsigned long>(static_cast<unsigned char>(exe[offset + i])) << (8 * i);
    return value;
  };
  const unsigned long machine = exe.size() > 64 ? at(at(0x3C, 4) + 4, 2) : 0;
  const wchar_t* name = machine == 0x14C ? L"i686" : machine == 0x8664 ? L"x86_64" : L"not a Windows program";
  return std::wstring(name) + L", " + std::to_wstring(exe.size() / 1024) + L" KiB";
}

bool EmbedPackage(const std::wstring& exePath, const std::string& bytes) {
  HANDLE update = BeginUpdateResourceW(exePath.c_str(), FALSE);
  if (!update) return false;
  const BOOL added = UpdateResourceW(update, L"QSLC", MAKEINTRESOURCEW(130), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                     const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  return EndUpdateResourceW(update, !added) && added;
}

PackStatus PackProject(const std::wstring& projectDirIn, const std::wstring& outputExeIn, const PackOptions& options) {
  auto report = [&](const std::wstring& line) {
    if (options.report) options.report(line);
  };
  // Absolute from here on: 7-Zip keeps the folder part of a relative
  // "project\*" in the stored names, and the host would find its files one
  // folder down.
  const std::wstring projectDir = WithoutTrailingSlash(ResolvePath(projectDirIn));
  const std::wstring outputExe = ResolvePath(outputExeIn);
  const std::wstring hostPath = ResolvePath(options.hostPath);
  if (!driver::DirectoryExists(projectDir)) {
    report(L"error: project folder not found: " + projectDir);
    return kFailed;
  }
  if (!driver::FileExists(hostPath)) {
    report(L"error: host executable not found: " + hostPath);
    return kFailed;
  }
  std::string icon;
  if (!options.iconPath.empty()) {
    const std::wstring given = DosPathOfUnixPath(options.iconPath).value_or(options.iconPath);
    const std::wstring iconPath = ResolvePath(IsAbsolute(given) ? given : projectDir + L"\\" + given);
    if (!driver::FileExists(iconPath)) {
      report(L"error: icon not found: " + iconPath);
      return kFailed;
    }
    icon = driver::ReadFileText(iconPath);
    if (icon.empty()) {
      report(L"error: the icon cannot be read: " + iconPath);
      return kFailed;
    }
  }
  for (const std::wstring& name : PackageFileNames(projectDir)) {
    report(L"error: " + name + L": " + Wide(qsform::kPackageFileLost) + L"; nothing packed");
    return kRefused;
  }
  for (const wchar_t* required : {L"main.qwin", L"scriptcore.dll"})
    if (!driver::FileExists(projectDir + L"\\" + required))
      report(std::wstring(L"warning: the project has no ") + required + L" (packed anyway)");
  size_t findings = 0;
  if (driver::FileExists(projectDir + L"\\main.qwin")) {
    const std::string form = driver::ReadFileText(projectDir + L"\\main.qwin");
    findings = ReportFindings(projectDir, form, report);
    if (!form.empty() && qsform::FileFormatFinding(form) && !options.force) {
      report(L"error: the host cannot read main.qwin as it is written; nothing packed (--force packs it anyway)");
      return kRefused;
    }
  }
  if (findings && options.strict) {
    report(L"error: the form has " + std::to_wstring(findings) + L" finding(s); nothing packed (--strict)");
    return kRefused;
  }

  unsigned long long files = 0, bytes = 0;
  Measure(projectDir, &files, &bytes);
  if (options.showProgress) {
    report(L"host " + hostPath + L" (" + HostDescription(driver::ReadFileText(hostPath)) + L")");
    report(L"packing " + std::to_wstring(files) + L" files, " + std::to_wstring(bytes / 1024) + L" KiB");
  }
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring archive = std::wstring(temp) + L"qspack-" + std::to_wstring(GetCurrentProcessId()) + L".7z";
  DeleteFileW(archive.c_str());
  // No times and no attributes, a fixed thread count: the same folder always
  // gives the same archive.
  const int status = RunSevenZip({L"a", L"-t7z", L"-mx=7", L"-mmt=2", L"-mtm=off", L"-mtc=off", L"-mta=off",
                                  L"-mtr=off", L"-bso0", L"-bse0", options.showProgress ? L"-bsp1" : L"-bsp0",
                                  archive, projectDir + L"\\*"},
                                 true);
  const std::string package = driver::ReadFileText(archive);
  DeleteFileW(archive.c_str());
  if (status > 1 || package.empty()) {
    report(L"error: the project folder could not be archived (status " + std::to_wstring(status) + L")");
    return kFailed;
  }
  if (!CopyFileW(hostPath.c_str(), outputExe.c_str(), FALSE)) {
    report(L"error: cannot write " + outputExe);
    return kFailed;
  }
  // A new icon means starting from no resources, so that none of the old
  // icon images stays behind; the host's others are copied over.
  HANDLE update = BeginUpdateResourceW(outputExe.c_str(), !icon.empty());
  bool written = update != nullptr;
  if (written && !icon.empty()) {
    written = CopyResourcesButIcons(update, hostPath);
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
