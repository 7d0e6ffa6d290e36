// A library planted beside a program under a system library's name
// (gdiplus.dll, comctl32.dll), as a download folder may hold one. It
// exports what the host might import from those libraries, does nothing,
// and leaves a mark when it is loaded: the file named by the environment
// variable QS_PLANTED_MARKER, holding the path it was loaded from (UTF-8).
#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t marker[MAX_PATH], self[MAX_PATH];
  if (!GetEnvironmentVariableW(L"QS_PLANTED_MARKER", marker, MAX_PATH)) return TRUE;
  const DWORD length = GetModuleFileNameW(module, self, MAX_PATH);
  HANDLE file = CreateFileW(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0,
                            nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    char text[MAX_PATH * 3];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, self, static_cast<int>(length), text, sizeof text, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(bytes), &written, nullptr);
    CloseHandle(file);
  }
  return TRUE;
}

// GDI+'s flat interface as a program may import it: every call fails.
__declspec(dllexport) int WINAPI GdiplusStartup(void*, const void*, void*) { return 1; }
__declspec(dllexport) void WINAPI GdiplusShutdown(ULONG_PTR) {}
__declspec(dllexport) void* WINAPI GdipAlloc(SIZE_T) { return nullptr; }
__declspec(dllexport) void WINAPI GdipFree(void*) {}
__declspec(dllexport) int WINAPI GdipCloneImage(void*, void**) { return 1; }
__declspec(dllexport) int WINAPI GdipCreateBitmapFromFile(const wchar_t*, void**) { return 1; }
__declspec(dllexport) int WINAPI GdipCreateBitmapFromFileICM(const wchar_t*, void**) { return 1; }
__declspec(dllexport) int WINAPI GdipCreateHBITMAPFromBitmap(void*, HBITMAP*, DWORD) { return 1; }
__declspec(dllexport) int WINAPI GdipDisposeImage(void*) { return 1; }
__declspec(dllexport) int WINAPI GdipGetImageWidth(void*, UINT*) { return 1; }
__declspec(dllexport) int WINAPI GdipGetImageHeight(void*, UINT*) { return 1; }
// The common controls' initialisation.
__declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void*) { return TRUE; }
__declspec(dllexport) void WINAPI InitCommonControls() {}

}  // extern "C"
