// Messages 1525 to 1582 sent by a script through the stand-in engine: every
// message number, its result, what it wrote back, and each wrong-name text.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace qs::test {
namespace {

const char16_t kForm[] =
    u"窗口 w \"消息\" 0 0 640 480 |\n"
    u"标签 标签1 \"用户名:\" 10 10 100 30 |\n"
    u"编辑框 编辑框1 \"初始\" 10 40 200 60 |\n"
    u"单选框 单选1 \"甲\" 10 70 80 90 是否选中:1|\n"
    u"单选框 单选2 \"乙\" 90 70 160 90 |\n"
    u"复选框 复选1 \"记住\" 10 100 100 120 |\n"
    u"浏览框 浏览1 10 130 200 150 | 选择改变:main.browsed|\n"
    u"下拉框 下拉1 \"北京|上海|广州|\" 220 10 360 120 |\n"
    u"分组框 分组1 \"分组\" 220 130 400 200 |\n"
    u"列表框 列表1 \"列表\" \"甲|乙|\" 400 10 600 120 |\n"
    u"日期框 日期1 220 210 400 235 |\n"
    u"图片框 图片1 10 160 60 210 |\n"
    u"进度条 进度1 220 250 400 270 |\n"
    u"按钮 按钮1 \"确定\" 10 220 80 250 |\n"
    u"选项卡 选项卡1 400 130 630 300 |\n"
    u"页面 一\n选项卡页面结束\n页面 二\n选项卡页面结束\n页面 三\n选项卡页面结束\n"
    u"选项卡结束\n"
    u"时钟 时钟1 0 0 1 1 频率:0| 时钟:main.tick|\n"
    u"热键 热键1 400 310 600 330 虚拟键值:65|模态值:3|\n"
    u"滑块 滑块1 10 260 200 290 |\n"
    u"窗口结束\n";

struct Case {
  std::string statement;  // a send statement of the script
  std::string result;     // what the log line shows after "-> "
};

std::string Read(const std::string& text) {
  return "1 buf=\"" + text + "\" len=" + std::to_string(text.size()) + " touched=" + std::to_string(text.size() + 1);
}

// Counts UTF-8 characters, for the len of Chinese texts.
std::string ReadChinese(const std::string& text, int units) {
  return "1 buf=\"" + text + "\" len=" + std::to_string(units) + " touched=" + std::to_string(units + 1);
}

std::vector<Case> Cases() {
  const std::string x2000(2000, 'x'), x1023(1023, 'x'), y5000(5000, 'y'), y1023(1023, 'y');
  return {
      // labels, edit boxes, radio buttons, check boxes, buttons
      {"send 1525 \"标签1\" \"新文字\"", "1"},
      {"send 1526 \"标签1\" buf", ReadChinese("新文字", 3)},
      {"send 1525 \"标签1\" \"" + x2000 + "\"", "1"},
      {"send 1526 \"标签1\" buf", "1 buf=\"" + x1023 + "\" len=1023 touched=1024"},
      {"send 1527 \"编辑框1\" \"编辑\"", "1"},
      {"send 1528 \"编辑框1\" buf", ReadChinese("编辑", 2)},
      {"send 1529 \"单选2\" \"丙\"", "1"},
      {"send 1530 \"单选2\" buf", ReadChinese("丙", 1)},
      {"send 1531 \"单选2\" 1", "1"},
      {"send 1532 \"单选2\" 0", "1"},
      {"send 1532 \"单选1\" 0", "1"},  // the other radio button keeps its state
      {"send 1531 \"单选1\" 0", "1"},
      {"send 1532 \"单选1\" 0", "0"},
      {"send 1533 \"复选1\" \"勾\"", "1"},
      {"send 1534 \"复选1\" buf", ReadChinese("勾", 1)},
      {"send 1535 \"复选1\" 5", "1"},
      {"send 1536 \"复选1\" 0", "1"},
      {"send 1535 \"复选1\" 0", "1"},
      {"send 1536 \"复选1\" 0", "0"},
      {"send 1559 \"按钮1\" \"好\"", "1"},
      {"send 1560 \"按钮1\" buf", ReadChinese("好", 1)},
      // browse box: its event comes before the result
      {"send 1538 \"浏览1\" \"C:\\\\path\"", "1"},
      {"send 1537 \"浏览1\" buf", "1 buf=\"C:\\\\path\" len=7 touched=8"},
      // drop-down
      {"send 1539 \"下拉1\" 0", "-1"},
      {"send 1541 \"下拉1\" 0", "3"},
      {"send 1540 \"下拉1\" 1", "1"},
      {"send 1539 \"下拉1\" 0", "1"},
      {"send 1540 \"下拉1\" -1", "1"},
      {"send 1539 \"下拉1\" 0", "-1"},
      {"send 1540 \"下拉1\" 7", "1"},
      {"send 1539 \"下拉1\" 0", "-1"},
      {"send 1542 rec(str \"下拉1\", int 1) buf", ReadChinese("上海", 2)},
      {"send 1542 rec(str \"下拉1\", int 9) buf", "1 buf=untouched"},
      {"send 1578 \"下拉1\" \"" + y5000 + "\"", "1"},
      {"send 1542 rec(str \"下拉1\", int 3) buf", "1 buf=\"" + y1023 + "\" len=1023 touched=1024"},
      {"send 1577 \"下拉1\" 3", "1"},
      {"send 1541 \"下拉1\" 0", "3"},
      {"send 1569 \"下拉1\" 0", "1"},
      {"send 1541 \"下拉1\" 0", "0"},
      // group box
      {"send 1543 \"分组1\" \"新标题\"", "1"},
      {"send 1544 \"分组1\" buf", ReadChinese("新标题", 3)},
      {"send 1543 \"分组1\" \"\"", "1"},
      {"send 1544 \"分组1\" buf", ReadChinese(" 分组 ", 4)},
      // list box
      {"send 1545 \"列表1\" 0", "2"},
      {"send 1548 \"列表1\" \"丙\"", "1"},
      {"send 1545 \"列表1\" 0", "3"},
      {"send 1546 rec(str \"列表1\", int 2) buf", ReadChinese("丙", 1)},
      {"send 1546 rec(str \"列表1\", int 7) buf", "1 buf=\"\" len=0 touched=1"},
      {"send 1549 \"列表1\" 0", "-1"},
      {"send 1550 \"列表1\" buf", "1 buf=untouched"},
      {"send 1579 \"列表1\" 0", "1"},
      {"send 1546 rec(str \"列表1\", int 0) buf", ReadChinese("乙", 1)},
      {"send 1570 \"列表1\" 0", "1"},
      {"send 1545 \"列表1\" 0", "0"},
      // date box: four spellings, one date
      {"send 1553 \"日期1\" null", "0"},
      {"send 1553 \"日期1\" \"2024-03-05\"", "1"},
      {"send 1554 \"日期1\" buf", Read("2024-03-05")},
      {"send 1553 \"日期1\" \"2024/3/5\"", "1"},
      {"send 1554 \"日期1\" buf", Read("2024-03-05")},
      {"send 1553 \"日期1\" \"3/5/2024\"", "1"},
      {"send 1554 \"日期1\" buf", Read("2024-03-05")},
      {"send 1553 \"日期1\" \"March 5, 2024\"", "1"},
      {"send 1554 \"日期1\" buf", Read("2024-03-05")},
      {"send 1553 \"日期1\" \"not a date\"", "0"},
      {"send 1554 \"日期1\" buf", Read("2024-03-05")},
      {"send 1553 \"日期1\" \"1950-06-01\"", "1"},
      {"send 1554 \"日期1\" buf", Read("1950-06-01")},
      {"send 1553 \"日期1\" \"3500-01-01\"", "1"},
      {"send 1554 \"日期1\" buf", Read("3500-01-01")},
      {"send 1553 \"日期1\" \"1800-01-01\"", "1"},
      {"send 1554 \"日期1\" buf", Read("1970-01-01")},
      // picture, progress bar, slider, tab control, clock, hot key
      {"send 1555 \"图片1\" \"missing.png\"", "1"},
      {"send 1557 \"进度1\" 40", "0"},
      {"send 1557 \"进度1\" 70", "40"},
      {"send 1558 \"进度1\" 0", "70"},
      {"send 1575 \"滑块1\" 30", "1"},
      {"send 1576 \"滑块1\" 0", "30"},
      {"send 1581 \"选项卡1\" 0", "3"},
      {"send 1580 \"选项卡1\" 0", "2"},
      {"send 1564 \"选项卡1\" 1", "1"},
      {"send 1580 \"选项卡1\" 0", "1"},
      {"send 1564 \"选项卡1\" 3", "1"},
      {"send 1580 \"选项卡1\" 0", "1"},
      {"send 1565 \"时钟1\" 50", "1"},
      {"send 1566 \"时钟1\" 0", "1"},
      // Wine names the Ctrl key "Control" where Windows says "Ctrl".
      {"send 1574 \"热键1\" buf", Read("Control + Shift + A")},
      {"send 1572 \"热键1\" 0", "1"},
      {"send 1572 \"热键1\" 0", "0"},
      {"send 1571 \"热键1\" 0", "1"},
      // any control: enable, show, place
      {"send 1567 \"按钮1\" 0", "1"},
      {"send 1568 \"复选1\" 0", "1"},
      {"send 1568 \"复选1\" 5", "1"},
      {"send 1568 \"单选1\" 0", "1"},
      {"send 1582 \"按钮1\" rec(int 0, int 5, int 6, int 300, int 300, int 1)", "1"},
      {"send 1582 \"编辑框1\" rec(int 0, int 500, int 500, int 150, int 25, int 2)", "1"},
      {"send 1582 \"标签1\" rec(int 0, int 20, int 300, int 90, int 25, int 0)", "1"},
      {"send 1582 \"单选2\" rec(int 0, int 30, int 330, int 95, int 26, int 7)", "1"},
      // numbers without a handler: 0, no box
      {"send 1547 null null", "0"},
      {"send 1551 null null", "0"},
      {"send 1573 null null", "0"},
      // the tab-control queries on a control of another kind: the platform's answer, no box
      {"send 1580 \"标签1\" 0", "0"},
      {"send 1581 \"标签1\" 0", "0"},
      // wrong names, each text once, with its result
      {"send 1525 \"标签X\" \"a\"", "0"},
      {"send 1526 null buf", "0 buf=untouched"},
      {"send 1528 \"编辑框X\" buf", "0 buf=untouched"},
      {"send 1528 \"编辑框X\" null", "0"},  // the name is looked at before the buffer
      {"send 1532 \"单选X\" 0", "0"},
      {"send 1536 \"复选X\" 0", "0"},
      {"send 1537 \"浏览X\" buf", "0 buf=untouched"},
      {"send 1539 \"下拉X\" 0", "-1"},
      {"send 1542 rec(str \"下拉X\", int 0) buf", "0 buf=untouched"},
      {"send 1543 \"标签1\" \"another kind\"", "0"},
      {"send 1545 \"下拉1\" 0", "-1"},
      {"send 1554 \"日期X\" buf", "0 buf=untouched"},
      {"send 1555 \"标签1\" \"x\"", "0"},
      {"send 1558 \"进度X\" 0", "-1"},
      {"send 1560 \"按钮X\" buf", "0 buf=untouched"},
      {"send 1581 \"选项卡X\" 0", "-1"},
      {"send 1565 \"标签1\" 10", "0"},
      {"send 1569 \"下拉X\" 0", "0"},
      {"send 1571 \"热键X\" 0", "0"},
      {"send 1576 \"滑块X\" 0", "-1"},
      {"send 1567 \"btn\" 1", "0"},
  };
}

const std::vector<std::wstring> kWrongNameBoxes = {
    L"不正确的标签控件名", L"不正确的标签控件名",   L"不正确的编辑框控件名", L"不正确的编辑框控件名",
    L"不正确的单选框控件名",
    L"不正确的复选框控件名", L"不正确的浏览框控件名", L"不正确的控件名",       L"不正确的控件名",
    L"不正确的分组框控件名", L"不正确的列表框控件名", L"不正确的日期控件名",   L"不正确的图片控件名",
    L"不正确的进度条控件名", L"不正确的按钮控件名",   L"不正确的选项卡控件名", L"不正确的时间控件名",
    L"不正确的下拉框控件名", L"不正确的热键控件名",   L"不正确的滑块控件名",   L"不正确的控件名",
};

RECT ChildRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST(ControlMessages, EveryMessageNumber) {
  const std::vector<Case> cases = Cases();
  std::string script = "func main.start\n";
  for (const Case& c : cases) script += "  " + c.statement + "\n";
  script += "  log done\nend\nfunc main.browsed\n  log browsed\nend\n";
  std::u16string form(kForm);
  form.replace(form.find(u"|\n"), 2, u"| 窗口初始化:main.start|\n");
  const std::wstring exe = Project(L"messages").Form(form).Script(script).Engine().Pack();
  ASSERT_FALSE(exe.empty());
  driver::StartOptions options;
  options.environment = {{L"TZ", L"UTC"}};
  HostRun run(exe, options);
  HWND main = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(main);
  ASSERT_TRUE(run.WaitForLog("main.start: log done", 60000));

  std::vector<std::string> results;
  size_t browsedCall = 0, browseSend = 0;
  const std::vector<std::string> log = run.LogLines();
  for (size_t i = 0; i < log.size(); ++i) {
    const std::string& line = log[i];
    if (line.rfind("main.start: send ", 0) == 0) {
      results.push_back(line.substr(line.find(" -> ") + 4));
      if (line.find("send 1538 ") != std::string::npos) browseSend = i;
    }
    if (line.rfind("QSCmd module=main function=browsed", 0) == 0 && !browsedCall) browsedCall = i;
  }
  ASSERT_EQ(results.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(results[i], cases[i].result) << cases[i].statement.substr(0, 80);
  EXPECT_GT(browsedCall, 0u);
  EXPECT_LT(browsedCall, browseSend);  // the event is raised before 1538 returns

  std::vector<std::wstring> boxes;
  for (const auto& box : run.host().boxes()) {
    boxes.push_back(box.text);
    EXPECT_EQ(box.caption, L"messages");
  }
  EXPECT_EQ(boxes, kWrongNameBoxes);

  // What the window shows afterwards.
  HWND button = driver::FindDescendant(main, L"Button", L"好");
  ASSERT_TRUE(button);
  EXPECT_FALSE(IsWindowEnabled(button));
  RECT r = ChildRect(button);
  EXPECT_EQ(r.left, 5);  // mode 1: moved, size kept
  EXPECT_EQ(r.right - r.left, 70);
  EXPECT_TRUE(driver::FindDescendant(main, L"Button", L"勾"));   // hidden, then shown again
  EXPECT_FALSE(driver::FindDescendant(main, L"Button", L"甲"));  // hidden
  r = ChildRect(driver::FindDescendant(main, L"Edit", L"编辑"));
  EXPECT_EQ(r.left, 10);  // mode 2: resized, position kept
  EXPECT_EQ(r.right - r.left, 150);
  r = ChildRect(driver::FindDescendant(main, L"Button", L"丙"));
  EXPECT_EQ(r.left, 30);  // mode 7: both
  EXPECT_EQ(r.bottom - r.top, 26);
  ASSERT_TRUE(run.CloseAndWait());
}

std::u16string Number(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// Eight script threads drive the window at once while the user clicks; a
// ninth waits behind a wrong-name box without holding up the others.
TEST(ControlMessages, ConcurrentThreads) {
  std::u16string form = u"窗口 w \"并发\" 0 0 640 480 | 窗口初始化:main.init|\n"
                        u"按钮 按钮1 \"点我\" 10 400 100 430 | 鼠标单击:main.clicked|\n"
                        u"下拉框 下拉1 \"a|b|c|\" 400 10 500 100 |\n";
  std::string script = "func main.init\n";
  for (int t = 1; t <= 8; ++t) {
    const std::u16string n(1, static_cast<char16_t>(u'0' + t));
    form += u"标签 标签" + n + u" \"\" 10 " + Number(t * 40) + u" 200 " + Number(t * 40 + 30) + u" |\n";
    form += u"进度条 进度" + n + u" 220 " + Number(t * 40) + u" 380 " + Number(t * 40 + 20) + u" |\n";
    script += "  start main.worker" + std::to_string(t) + "\n";
  }
  form += u"窗口结束\n";
  script += "  start main.blocked\nend\n";
  for (int t = 1; t <= 8; ++t) {
    const std::string n = std::to_string(t);
    script += "func main.worker" + n + "\n  timed 1000\n"
              "    send 1525 \"标签" + n + "\" \"线程" + n + "\" expect 1\n"
              "    send 1526 \"标签" + n + "\" buf expect 1\n"
              "    send 1557 \"进度" + n + "\" " + n + "0\n"
              "    send 1558 \"进度" + n + "\" 0 expect " + n + "0\n"
              "    send 1541 \"下拉1\" 0 expect 3\n"
              "  end\n  log finished\nend\n";
  }
  script += "func main.blocked\n  send 1526 \"没有\" buf\n  log unblocked\nend\n";
  script += "func main.clicked\n  log click\nend\n";

  const std::wstring exe = Project(L"concurrent").Form(form).Script(script).Engine().Pack();
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);
  run.host().set_answerBoxes(false);
  HWND main = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(main);
  HWND button = driver::FindDescendant(main, L"Button", L"点我");
  ASSERT_TRUE(button);
  int clicks = 0, responsive = 0;
  auto finished = [&] {
    int count = 0;
    for (const std::string& line : run.LogLines()) count += line.find(": log finished") != std::string::npos;
    return count == 8;
  };
  const ULONGLONG deadline = GetTickCount64() + 120000;
  while (!finished() && GetTickCount64() < deadline) {
    SendMessageW(button, BM_CLICK, 0, 0);
    ++clicks;
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored)) ++responsive;
    run.host().ServeUntil([] { return false; }, 200);
  }
  ASSERT_TRUE(finished());
  EXPECT_EQ(responsive, clicks);
  // The ninth thread is still waiting behind its box.
  ASSERT_EQ(run.host().boxes().size(), 1u);
  EXPECT_EQ(run.host().boxes()[0].text, L"不正确的标签控件名");
  EXPECT_FALSE(run.WaitForLog("main.blocked: log unblocked", 100));
  run.host().set_answerBoxes(true);
  EXPECT_TRUE(run.WaitForLog("main.blocked: log unblocked", 10000));

  int clickEvents = 0, timed = 0;
  for (const std::string& line : run.LogLines()) {
    EXPECT_EQ(line.find("mismatch"), std::string::npos) << line;
    clickEvents += line == "main.clicked: log click";
    timed += line.find(": timed 1000 ") != std::string::npos;
  }
  EXPECT_EQ(timed, 8);
  EXPECT_TRUE(run.WaitForLog("main.clicked: log click", 1000));
  EXPECT_GE(clickEvents, clicks - 1);
  ASSERT_TRUE(run.CloseAndWait());
}

}  // namespace
}  // namespace qs::test
