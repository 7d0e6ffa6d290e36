// qsdriver as the tools page describes it: every exit status, with the
// lines it prints.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace qs::test {
namespace {

TEST(Driver, ExitCodes) {
  Project shows(L"driver shows");
  const std::wstring window =
      shows.Form(u"w w \"驱动\" 0 0 200 150 | 窗口初始化:main.init|窗口销毁:main.quit|\n窗口结束\n")
          .Script("func main.init\n  log up\nend\n")
          .Engine()
          .Pack();
  Project noEngine(L"driver no engine");
  const std::wstring boxes = noEngine.Form(u"w w \"x\" 0 0 200 150 |\n窗口结束\n").Pack();
  ASSERT_FALSE(window.empty());
  ASSERT_FALSE(boxes.empty());
  const std::wstring dir = ScratchDir(L"driver tours");
  WriteFileBytes(dir + L"\\close.txt", "# a comment\n\nclose\n");
  WriteFileBytes(dir + L"\\missing button.txt", "click 没有这个按钮\nclose\n");
  auto quoted = [](const std::wstring& path) { return L"\"" + path + L"\""; };
  const std::wstring out = L" --out " + quoted(dir);
  struct Case {
    const char* what;
    std::wstring arguments;
    DWORD exitCode;
    std::vector<std::string> lines;  // each found in the output
  };
  const Case cases[] = {
      {"a tour that goes through", L"--tour " + quoted(dir + L"\\close.txt") + out + L" " + quoted(window), 0,
       {"exit: 0"}},
      {"closed after a while", L"--close-after 0 " + quoted(window), 0, {"window: 驱动", "exit: 0"}},
      {"no window wanted: served until the end", quoted(boxes), 0, {"box: ", "exit: 0"}},
      {"a tour step that fails", L"--tour " + quoted(dir + L"\\missing button.txt") + out + L" " + quoted(window), 1,
       {"tour step failed: click 没有这个按钮", "exit: 0"}},
      {"no program", L"--timeout 100", 2, {"usage: qsdriver"}},
      {"a tour without --out", L"--tour " + quoted(dir + L"\\close.txt") + L" " + quoted(window), 2, {"usage: qsdriver"}},
      {"a tour file that cannot be read", L"--tour " + quoted(dir + L"\\none.txt") + out + L" " + quoted(window), 2,
       {"qsdriver: cannot read the tour"}},
      {"a program that cannot be started", quoted(dir + L"\\none.exe"), 2, {"qsdriver: cannot start"}},
      {"a program that outlives the timeout", L"--timeout 3000 " + quoted(window), 3, {"timeout: killed after 3000 ms"}},
      {"a tour whose window never appears", L"--tour " + quoted(dir + L"\\close.txt") + out + L" " + quoted(boxes), 4,
       {"box: ", "126 ERR MSG", "exit: 0",
        "no window: the program ended without showing its window; the tour did not run"}},
      {"a close whose window never appears", L"--close-after 0 " + quoted(boxes), 4,
       {"exit: 0", "no window: the program ended without showing its window; it was not closed by qsdriver"}},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool(BinDir() + L"\\qsdriver.exe", c.arguments);
    ASSERT_TRUE(run.ended) << c.what;
    EXPECT_EQ(run.exitCode, c.exitCode) << c.what << "\n" << run.output;
    for (const std::string& line : c.lines)
      EXPECT_NE(run.output.find(line), std::string::npos) << c.what << ": " << line << "\n" << run.output;
  }
}

}  // namespace
}  // namespace qs::test
