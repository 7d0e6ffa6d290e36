#include "host/package_extraction.h"

#include <windows.h>

#include <vector>

#include "host/command_split.h"
#include "host/sevenzip_runner.h"
#include "host/work_directory.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace qs {

namespace {

// The package's bytes; empty when the executable carries none.
std::vector<char> ReadPackageResource() {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(130), L"QSLC");
  HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = bytes ? SizeofResource(self, found) : 0;
  std::vector<char> copy(size);
  if (size != 0) {
    SIZE_T written = 0;
    WriteProcessMemory(GetCurrentProcess(), copy.data(), bytes, size, &written);
  }
  return copy;
}

}  // namespace

void ExtractPackage() {
  const std::vector<char> package = ReadPackageResource();
  const std::wstring packagePath = WorkFilePath(L"QS.lc");
  {
    win32::OwnedHandle file(CreateFileW(packagePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file && !package.empty()) {
      DWORD written = 0;
      WriteFile(file.get(), package.data(), static_cast<DWORD>(package.size()), &written, nullptr);
    }
  }
  RunArchiveCommand(L"x*-o" + WorkDirectory() + L"*-y*" + packagePath);
  DeleteFileW(packagePath.c_str());
}

int RunArchiveCommand(std::wstring command) {
  std::vector<std::wstring> arguments;
  for (const std::u16string& argument : SplitArchiveCommand(win32::ToU16(command)))
    arguments.push_back(win32::ToWide(argument));
  return RunSevenZip(arguments, false);
}

}  // namespace qs
