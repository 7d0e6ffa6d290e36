// A long run: 16 engine threads send 100,000 mixed control, plug-in and
// service messages, plug-in objects are created and released again and
// again, an edit box with a colour is repainted thousands of times. The
// host's GDI and user objects, handles and private bytes end within a small
// margin of what they were after start-up.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "tests/e2e/e2e_support.h"

namespace qs::test {
namespace {

// The engine's "usage" line: the platform's counts where it keeps them
// (Wine keeps none), the process's windows, the slots a new GDI object and
// kernel handle would take, the process's data size (Wine: from /proc).
struct Usage {
  std::map<std::string, unsigned long long> values;
  unsigned long long operator[](const std::string& key) const {
    const auto found = values.find(key);
    return found == values.end() ? 0 : found->second;
  }
};

Usage ParseUsage(const std::string& line) {
  Usage usage;
  std::istringstream in(line.substr(line.find(": usage ") + 8));
  std::string pair;
  while (in >> pair) {
    const size_t equals = pair.find('=');
    usage.values[pair.substr(0, equals)] = std::stoull(pair.substr(equals + 1));
  }
  return usage;
}

std::vector<Usage> Usages(HostRun& run) {
  std::vector<Usage> usages;
  for (const std::string& line : run.LogLines())
    if (line.find(": usage ") != std::string::npos) usages.push_back(ParseUsage(line));
  return usages;
}

constexpr int kThreads = 16, kRounds = 625, kPerRound = 10;  // 100,000 messages

TEST(Soak, HundredThousandMessages) {
  std::string script = "func main.init\n  sleep 1500\n  usage\n";
  for (int t = 0; t < kThreads; ++t) script += "  start main.worker" + std::to_string(t) + "\n";
  script += "end\nfunc main.final\n  usage\nend\n";
  for (int t = 0; t < kThreads; ++t) {
    const std::string n = std::to_string(t);
    script += "func main.worker" + n + "\n  timed " + std::to_string(kRounds) + "\n"
              "    send 1527 \"编辑\" \"第" + n + "行的文字\" expect 1\n"
              "    send 1528 \"编辑\" buf expect 1\n"
              "    send 1525 \"标签\" \"线程" + n + "\" expect 1\n"
              "    send 1557 \"进度\" " + n + "\n"
              "    send 1541 \"下拉\" 0 expect 3\n"
              "    send 2525 rec(tid) 0 expect 1\n"
              "    send 2529 rec(tid) 0 expect 4000\n"
              "    send 2546 rec(tid, int 1, int 2, int 3, int 4, str \"文字\", dbl 0.5, int 7) buf expect 1\n"
              "    send 2528 rec(tid) 0 expect 1\n"
              "    send 1676 5 515 expect 1\n"
              "  end\n  log finished\nend\n";
  }
  const std::wstring exe = Project(L"soak")
                               .Form(u"窗口 w \"长跑\" 0 0 400 300 | 窗口初始化:main.init|\n"
                                     u"标签 标签 \"\" 10 10 200 30 |\n"
                                     u"编辑框 编辑 \"\" 10 40 300 70 文本颜色:255|背景颜色:16776960|\n"
                                     u"进度条 进度 10 80 300 100 |\n"
                                     u"下拉框 下拉 \"a|b|c|\" 10 110 150 200 |\n"
                                     u"按钮 结束 \"结束\" 200 110 300 140 | 鼠标单击:main.final|\n"
                                     u"窗口结束\n")
                               .Script(script)
                               .Engine()
                               .Pack();
  ASSERT_FALSE(exe.empty());
  HMODULE stub = LoadLibraryW((BinDir() + L"\\dmstub.dll").c_str());
  ASSERT_TRUE(stub);
  using Register = HRESULT(STDAPICALLTYPE*)();
  ASSERT_EQ(reinterpret_cast<Register>(reinterpret_cast<void*>(GetProcAddress(stub, "DllRegisterServer")))(), S_OK);
  FreeLibrary(stub);

  HostRun run(exe);
  HWND main = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(main);
  auto finished = [&] {
    int count = 0;
    for (const std::string& line : run.LogLines()) count += line.find(": log finished") != std::string::npos;
    return count == kThreads;
  };
  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(run.host().ServeUntil(finished, 280000)) << "not finished in time";
  const double seconds = (GetTickCount64() - start) / 1000.0;
  run.host().ServeUntil([] { return false; }, 1500);
  SendMessageW(driver::FindDescendant(main, L"Button", L"结束"), BM_CLICK, 0, 0);
  ASSERT_TRUE(run.WaitForLog("main.final: usage", 10000));
  const std::vector<Usage> usages = Usages(run);
  ASSERT_EQ(usages.size(), 2u);
  const Usage& before = usages[0];
  const Usage& after = usages[1];

  int mismatches = 0;
  for (const std::string& line : run.LogLines()) mismatches += line.find("mismatch") != std::string::npos;
  EXPECT_EQ(mismatches, 0);
  EXPECT_TRUE(run.host().boxes().empty());
  const int messages = kThreads * kRounds * kPerRound;
  printf("soak: %d messages in %.1f s, %d plug-in objects created and released\n", messages, seconds,
         kThreads * kRounds);
  for (const char* key : {"gdi", "user", "handles", "private", "windows", "gdiSlot", "handleSlot", "dataKb"})
    printf("soak: %s %llu -> %llu\n", key, before[key], after[key]);
  if (before["gdi"] || before["handles"]) {  // the platform counts what a process holds
    EXPECT_LE(after["gdi"], before["gdi"] + 16);
    EXPECT_LE(after["user"], before["user"] + 16);
    EXPECT_LE(after["handles"], before["handles"] + 32);
    EXPECT_LE(after["private"], before["private"] + 4 * 1024 * 1024);
  }
  // Freed slots are handed out again: a leak of one object per message or
  // repaint would push these up by thousands.
  EXPECT_LE(after["gdiSlot"], before["gdiSlot"] + 16);
  EXPECT_EQ(after["windows"], before["windows"]);
  EXPECT_LE(after["handleSlot"], before["handleSlot"] + 32);
  if (before["dataKb"]) {
    EXPECT_LE(after["dataKb"], before["dataKb"] + 8 * 1024);
  }
  ASSERT_TRUE(run.CloseAndWait());
}

}  // namespace
}  // namespace qs::test
