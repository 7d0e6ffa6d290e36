#include "win32/file_bytes.h"

#include <windows.h>

#include "win32/handles.h"

namespace win32 {

std::string ReadFileBytes(const wchar_t* path) {
  OwnedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  std::string bytes;
  if (!file) return bytes;
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  return bytes;
}

}  // namespace win32
