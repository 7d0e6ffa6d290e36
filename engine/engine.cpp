// scriptcore.dll, the stand-in script engine: runs the functions of its
// script on threads of its own and reaches the host only by window messages.
// Every entry-point call and every statement is written to the log file
// named by QSENGINE_LOG (nothing is logged when it is unset).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/utf.h"
#include "engine/script.h"
#include "win32/file_bytes.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace qs::engine {

namespace {

// ---- log ----------------------------------------------------------------

class Log {
 public:
  Log() { InitializeCriticalSection(&lock_); }
  ~Log() { DeleteCriticalSection(&lock_); }

  void Write(const std::string& line) {
    EnterCriticalSection(&lock_);
    if (!opened_) Open();
    if (file_) {
      const std::string text = line + "\n";
      DWORD written = 0;
      WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    LeaveCriticalSection(&lock_);
  }

 private:
  void Open() {
    opened_ = true;
    wchar_t path[32768];
    const DWORD n = GetEnvironmentVariableW(L"QSENGINE_LOG", path, 32768);
    if (n == 0 || n >= 32768) return;
    file_.reset(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  CRITICAL_SECTION lock_;
  bool opened_ = false;
  win32::OwnedHandle file_;
};

Log& TheLog() {
  static Log log;
  return log;
}

std::string Utf8(const wchar_t* text) { return text ? ToUtf8(win32::View(text)) : std::string("(null)"); }
std::string Utf8(const std::u16string& text) { return ToUtf8(text); }

// A text for a log line: quoted, with line breaks and quotes escaped.
std::string Quote(std::u16string_view text) {
  std::string out = "\"";
  for (char c : ToUtf8(text)) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '"' || c == '\\') (out += '\\') += c;
    else out += c;
  }
  return out + "\"";
}

std::string CurrentDirectory() {
  wchar_t directory[32768];
  const DWORD n = GetCurrentDirectoryW(32768, directory);
  return n && n < 32768 ? Utf8(directory) : std::string();
}

// ---- engine state -------------------------------------------------------

HWND g_host = nullptr;
std::wstring g_workDirectory;  // from QSSetExeTempPath
Script g_script;
win32::OwnedHandle g_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
CRITICAL_SECTION g_threadsLock;
std::vector<HANDLE> g_threads;  // running or finished, closed by QSTerminate

struct ThreadStart {
  std::u16string name;
  const std::vector<Statement>* body;
};

bool Stopping() { return WaitForSingleObject(g_stop.get(), 0) == WAIT_OBJECT_0; }

DWORD WINAPI RunFunction(void* parameter);

void StartFunction(const std::u16string& name) {
  const auto found = g_script.functions.find(name);
  if (found == g_script.functions.end()) {
    TheLog().Write("unknown function " + Utf8(name));
    return;
  }
  if (Stopping()) return;
  auto* start = new ThreadStart{name, &found->second};
  EnterCriticalSection(&g_threadsLock);
  HANDLE thread = CreateThread(nullptr, 0, RunFunction, start, 0, nullptr);
  if (thread) g_threads.push_back(thread);
  else delete start;
  LeaveCriticalSection(&g_threadsLock);
}

// ---- statements ---------------------------------------------------------

struct Context {
  std::string name;  // "module.function", the log prefix
  int quiet = 0;     // inside a timed block
  std::map<std::string, std::u16string> variables;
};

std::int64_t IntegerOf(std::int64_t value, const std::string& variable, const Context& context) {
  if (variable.empty()) return value;
  const auto found = context.variables.find(variable);
  return found == context.variables.end() ? 0 : std::strtoll(ToUtf8(found->second).c_str(), nullptr, 10);
}

// Memory behind the pointers of one send or post.
struct Materialized {
  std::vector<std::unique_ptr<std::u16string>> texts;
  std::vector<char16_t> buffer;
  std::vector<unsigned char> record;
};

constexpr std::int32_t kSlotSentinel = static_cast<std::int32_t>(0xA5A5A5A5);

template <class T>
void Store(std::vector<unsigned char>& bytes, size_t offset, T value) {
  memcpy(bytes.data() + offset, &value, sizeof value);
}
template <class T>
T Load(const std::vector<unsigned char>& bytes, size_t offset) {
  T value;
  memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// The memory behind a posted message's pointers: the host reads it when
// the message arrives, perhaps after the posting thread has ended, so it
// stays until the engine is unloaded. (Not in thread-local storage: a
// thread-local object's destructor may run after the storage it lives in
// has been freed at thread exit.)
CRITICAL_SECTION g_postedLock;
std::vector<std::unique_ptr<Materialized>> g_posted;

void KeepPosted(Materialized wParam, Materialized lParam) {
  EnterCriticalSection(&g_postedLock);
  g_posted.push_back(std::make_unique<Materialized>(std::move(wParam)));
  g_posted.push_back(std::make_unique<Materialized>(std::move(lParam)));
  LeaveCriticalSection(&g_postedLock);
}

const wchar_t* KeepText(Materialized& m, const std::u16string& text) {
  m.texts.push_back(std::make_unique<std::u16string>(text));
  return win32::W(*m.texts.back());
}

LPARAM Materialize(const Argument& argument, Materialized& m, const Context& context) {
  using K = Argument::Kind;
  switch (argument.kind) {
    case K::Int: return static_cast<LPARAM>(IntegerOf(argument.value, argument.variable, context));
    case K::Null: return 0;
    case K::Text: return reinterpret_cast<LPARAM>(KeepText(m, Interpolate(argument.text, context.variables)));
    case K::Buffer:
      m.buffer.assign(argument.bufferUnits, kBufferSentinel);
      return reinterpret_cast<LPARAM>(m.buffer.data());
    case K::Record:
      m.record.assign(argument.recordSize, 0);
      for (const RecordField& field : argument.fields) {
        using F = RecordField::Kind;
        switch (field.kind) {
          case F::ThreadKey: Store(m.record, field.offset, static_cast<std::uint32_t>(GetCurrentThreadId())); break;
          case F::Int: case F::InOut:
            Store(m.record, field.offset, static_cast<std::int32_t>(IntegerOf(field.value, field.variable, context)));
            break;
          case F::Out: Store(m.record, field.offset, kSlotSentinel); break;
          case F::Double: Store(m.record, field.offset, field.number); break;
          case F::Str: Store(m.record, field.offset, KeepText(m, Interpolate(field.text, context.variables))); break;
          case F::NullStr: case F::OutPtr: Store(m.record, field.offset, static_cast<const void*>(nullptr)); break;
        }
      }
      return reinterpret_cast<LPARAM>(m.record.data());
  }
  return 0;
}

// An argument as it was sent: variables replaced by their values.
std::string Describe(const Argument& argument, const Materialized& m, LPARAM value) {
  using K = Argument::Kind;
  switch (argument.kind) {
    case K::Int: return std::to_string(static_cast<long long>(value));
    case K::Null: return "null";
    case K::Text: return Quote(*m.texts.front());
    case K::Buffer: return "buf";
    case K::Record: return "rec";
  }
  return "?";
}

// What the host left in a buffer or record.
std::string DescribeResult(const Argument& argument, const Materialized& m) {
  using K = Argument::Kind;
  if (argument.kind == K::Buffer) {
    if (m.buffer.empty() || m.buffer[0] == kBufferSentinel) return " buf=untouched";
    size_t length = 0;
    while (length < m.buffer.size() && m.buffer[length] != 0) ++length;
    size_t touched = m.buffer.size();
    while (touched > 0 && m.buffer[touched - 1] == kBufferSentinel) --touched;
    return " buf=" + Quote(std::u16string_view(m.buffer.data(), length)) + " len=" + std::to_string(length) +
           " touched=" + std::to_string(touched);
  }
  if (argument.kind != K::Record) return "";
  std::string out;
  for (const RecordField& field : argument.fields) {
    using F = RecordField::Kind;
    const std::string at = "@" + std::to_string(field.offset) + "=";
    if (field.kind == F::Out) out += " out" + at + std::to_string(Load<std::int32_t>(m.record, field.offset));
    else if (field.kind == F::InOut) out += " inout" + at + std::to_string(Load<std::int32_t>(m.record, field.offset));
    else if (field.kind == F::OutPtr) {
      const auto* text = Load<const char16_t*>(m.record, field.offset);
      out += " outptr" + at + (text ? Quote(text) : std::string("null"));
    }
  }
  return out;
}


bool Run(const std::vector<Statement>& body, Context& context);

// The number in a "Name:   1234 kB" line of a /proc status text, or 0.
unsigned long long ProcField(const std::string& status, const char* name) {
  const size_t at = status.find(name);
  return at == std::string::npos ? 0 : std::strtoull(status.c_str() + at + strlen(name), nullptr, 10);
}

BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<unsigned*>(data);
  EnumChildWindows(window, CountWindow, data);
  return TRUE;
}

// What the host process holds. The platform's counts (GDI and user objects,
// kernel handles, private bytes) where it keeps them; beside them the
// process's windows, the slot a new GDI object and a new kernel handle would
// take (the tables hand out freed slots again, so a leak shows as a
// climbing slot) and, under Wine, the data size of the process from /proc.
std::string UsageText() {
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  unsigned windows = 0;
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows));
  unsigned gdiSlot = 0;
  unsigned long long handleSlot = 0;
  {
    const win32::OwnedBrush brush(CreateSolidBrush(0));
    const win32::OwnedHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    gdiSlot = LOWORD(reinterpret_cast<ULONG_PTR>(brush.get()));
    handleSlot = reinterpret_cast<ULONG_PTR>(event.get()) / 4;
  }
  std::string status;
  win32::OwnedHandle proc(CreateFileW(L"Z:\\proc\\self\\status", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  char chunk[8192];
  DWORD read = 0;
  while (proc && ReadFile(proc.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) status.append(chunk, read);
  char text[320];
  snprintf(text, sizeof text, "gdi=%lu user=%lu handles=%lu private=%zu windows=%u gdiSlot=%u handleSlot=%llu dataKb=%llu",
           GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
           handles, static_cast<size_t>(memory.PrivateUsage), windows, gdiSlot, handleSlot, ProcField(status, "VmData:"));
  return text;
}

// What "into" keeps: the text the host wrote into the buffer, else the text
// an outptr field points to, else the result.
std::u16string Returned(const Statement& s, const Materialized& wm, const Materialized& lm, LRESULT result) {
  for (const auto* m : {&lm, &wm}) {
    const Argument& argument = m == &lm ? s.lParam : s.wParam;
    if (argument.kind == Argument::Kind::Buffer) {
      if (m->buffer.empty() || m->buffer[0] == kBufferSentinel) return u"";
      return std::u16string(m->buffer.data());
    }
    if (argument.kind == Argument::Kind::Record)
      for (const RecordField& field : argument.fields)
        if (field.kind == RecordField::Kind::OutPtr) {
          const auto* text = Load<const char16_t*>(m->record, field.offset);
          return text ? std::u16string(text) : std::u16string();
        }
  }
  const std::string number = std::to_string(static_cast<long long>(result));
  return std::u16string(number.begin(), number.end());
}

bool RunStatement(const Statement& s, Context& context) {
  if (Stopping()) return false;
  using K = Statement::Kind;
  switch (s.kind) {
    case K::Send: case K::Post: {
      Materialized wm, lm;
      const WPARAM w = static_cast<WPARAM>(Materialize(s.wParam, wm, context));
      const LPARAM l = Materialize(s.lParam, lm, context);
      const std::string arguments = " " + Describe(s.wParam, wm, static_cast<LPARAM>(w)) + " " + Describe(s.lParam, lm, l);
      if (s.kind == K::Post) {
        const BOOL posted = PostMessageW(g_host, s.message, w, l);
        KeepPosted(std::move(wm), std::move(lm));
        if (!context.quiet)
          TheLog().Write(context.name + ": post " + std::to_string(s.message) + arguments + " -> " +
                         (posted ? "posted" : "failed"));
        return true;
      }
      const LRESULT result = SendMessageW(g_host, s.message, w, l);
      if (s.expect && *s.expect != static_cast<std::int64_t>(result))
        TheLog().Write(context.name + ": mismatch line " + std::to_string(s.line) + ": send " +
                       std::to_string(s.message) + " -> " + std::to_string(static_cast<long long>(result)) +
                       ", expected " + std::to_string(*s.expect));
      if (!context.quiet)
        TheLog().Write(context.name + ": send " + std::to_string(s.message) + arguments + " -> " +
                       std::to_string(static_cast<long long>(result)) +
                       DescribeResult(s.wParam, wm) + DescribeResult(s.lParam, lm));
      if (!s.into.empty()) context.variables[s.into] = Returned(s, wm, lm, result);
      return true;
    }
    case K::Sleep:
      return WaitForSingleObject(g_stop.get(), static_cast<DWORD>(s.count)) != WAIT_OBJECT_0;
    case K::Start:
      StartFunction(s.text);
      return true;
    case K::Log:
      TheLog().Write(context.name + ": log " + Utf8(s.text));
      return true;
    case K::Usage:
      TheLog().Write(context.name + ": usage " + UsageText());
      return true;
    case K::Hold: {
      // A file of the work directory kept open, without sharing its
      // deletion, until the process ends.
      const std::wstring path = g_workDirectory + L"\\" + win32::ToWide(s.text);
      const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      TheLog().Write(context.name + ": hold " + Utf8(s.text) + (file != INVALID_HANDLE_VALUE ? " -> open" : " -> failed"));
      return true;
    }
    case K::Repeat:
      for (std::int64_t i = 0; i < s.count; ++i)
        if (!Run(s.body, context)) return false;
      return true;
    case K::Timed: {
      LARGE_INTEGER frequency, begin, end;
      QueryPerformanceFrequency(&frequency);
      ++context.quiet;
      QueryPerformanceCounter(&begin);
      bool completed = true;
      for (std::int64_t i = 0; i < s.count && completed; ++i) completed = Run(s.body, context);
      QueryPerformanceCounter(&end);
      --context.quiet;
      const double micros = double(end.QuadPart - begin.QuadPart) * 1e6 / double(frequency.QuadPart);
      char line[160];
      snprintf(line, sizeof line, ": timed %lld line %d total_us=%.1f each_us=%.3f", static_cast<long long>(s.count),
               s.line, micros, s.count ? micros / double(s.count) : 0.0);
      TheLog().Write(context.name + line);
      return completed;
    }
  }
  return true;
}

bool Run(const std::vector<Statement>& body, Context& context) {
  for (const Statement& statement : body)
    if (!RunStatement(statement, context)) return false;
  return true;
}

DWORD WINAPI RunFunction(void* parameter) {
  std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
  Context context;
  context.name = Utf8(start->name);
  context.variables = StartingVariables(win32::View(g_workDirectory.c_str()));
  TheLog().Write(context.name + ": begin");
  const bool completed = Run(*start->body, context);
  TheLog().Write(context.name + (completed ? ": end" : ": stopped"));
  return 0;
}

// Waits for every engine thread, serving the messages they send to this
// (the host's window) thread meanwhile, so that a thread blocked in a send
// can finish.
void JoinThreads() {
  for (;;) {
    EnterCriticalSection(&g_threadsLock);
    HANDLE thread = g_threads.empty() ? nullptr : g_threads.back();
    LeaveCriticalSection(&g_threadsLock);
    if (!thread) return;
    for (;;) {
      const DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
      if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    EnterCriticalSection(&g_threadsLock);
    std::erase(g_threads, thread);
    LeaveCriticalSection(&g_threadsLock);
    CloseHandle(thread);
  }
}

}  // namespace

}  // namespace qs::engine

using namespace qs::engine;

// Test variants of the library leave one entry point unexported:
// QS_ENGINE_OMIT = 1 QSInitialPlatform, 2 QSSetExeHandle, 3 QSSetExeTempPath,
// 4 QSTerminate, 5 QSCmd.
#ifndef QS_ENGINE_OMIT
#define QS_ENGINE_OMIT 0
#endif
#define QS_EXPORTED __declspec(dllexport)
#define QS_EXPORT_1 QS_EXPORTED
#define QS_EXPORT_2 QS_EXPORTED
#define QS_EXPORT_3 QS_EXPORTED
#define QS_EXPORT_4 QS_EXPORTED
#define QS_EXPORT_5 QS_EXPORTED
#if QS_ENGINE_OMIT == 1
#undef QS_EXPORT_1
#define QS_EXPORT_1
#elif QS_ENGINE_OMIT == 2
#undef QS_EXPORT_2
#define QS_EXPORT_2
#elif QS_ENGINE_OMIT == 3
#undef QS_EXPORT_3
#define QS_EXPORT_3
#elif QS_ENGINE_OMIT == 4
#undef QS_EXPORT_4
#define QS_EXPORT_4
#elif QS_ENGINE_OMIT == 5
#undef QS_EXPORT_5
#define QS_EXPORT_5
#endif

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    InitializeCriticalSection(&g_threadsLock);
    InitializeCriticalSection(&g_postedLock);
  }
  return TRUE;
}

QS_EXPORT_1 int QSInitialPlatform(const wchar_t* scriptPath, const wchar_t* apiPath, int debug,
                                            wchar_t* buffer) {
  bool zeroed = buffer != nullptr;
  for (int i = 0; zeroed && i < 256; ++i) zeroed = buffer[i] == 0;
  TheLog().Write("QSInitialPlatform script=" + Utf8(scriptPath) + " api=" + Utf8(apiPath) +
                 " debug=" + std::to_string(debug) + " buffer=" + (zeroed ? "zeroed" : "dirty") +
                 " cwd=" + CurrentDirectory());
  if (scriptPath) {
    g_script = ParseScript(win32::ReadFileBytes(scriptPath), sizeof(void*));
    for (const std::string& error : g_script.errors) TheLog().Write("script error " + error);
  }
  return 1;
}

QS_EXPORT_2 int QSSetExeHandle(HWND window) {
  g_host = window;
  char text[64];
  snprintf(text, sizeof text, "QSSetExeHandle window=%p", static_cast<void*>(window));
  TheLog().Write(text);
  return 1;
}

QS_EXPORT_3 int QSSetExeTempPath(const wchar_t* workDirectory) {
  TheLog().Write("QSSetExeTempPath path=" + Utf8(workDirectory));
  if (workDirectory) g_workDirectory = workDirectory;
  return 1;
}

QS_EXPORT_5 int QSCmd(const wchar_t* module, const wchar_t* function) {
  TheLog().Write("QSCmd module=" + Utf8(module) + " function=" + Utf8(function) + " cwd=" + CurrentDirectory());
  std::u16string name(module ? win32::View(module) : std::u16string_view());
  name += u'.';
  name += function ? win32::View(function) : std::u16string_view();
  StartFunction(name);
  return 1;
}

QS_EXPORT_4 int QSTerminate() {
  TheLog().Write("QSTerminate");
  SetEvent(g_stop.get());
  JoinThreads();
  TheLog().Write("QSTerminate done");
  return 1;
}

}  // extern "C"
