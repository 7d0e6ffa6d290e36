// The product engine (bin\lua\scriptcore.dll) end to end: Lua scripts packed
// with a form, run by the real host, observed through the engine's log
// (QSENGINE_LOG), the windows and the stand-in plug-in.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace qs::test {
namespace {

const wchar_t kLuaEngine[] = L"lua\\scriptcore.dll";

const char16_t kForm[] =
    u"窗口 w \"Lua\" 0 0 640 480 | 窗口初始化:main.init|窗口销毁:main.quit|\n"
    u"标签 标签1 \"用户名:\" 10 10 100 30 |\n"
    u"编辑框 编辑框1 \"初始\" 10 40 200 60 |\n"
    u"单选框 单选1 \"甲\" 10 70 80 90 是否选中:1|\n"
    u"单选框 单选2 \"乙\" 90 70 160 90 |\n"
    u"复选框 复选1 \"记住\" 10 100 100 120 |\n"
    u"浏览框 浏览1 10 130 200 150 |\n"
    u"下拉框 下拉1 \"北京|上海|广州|\" 220 10 360 120 |\n"
    u"分组框 分组1 \"分组\" 220 130 400 200 |\n"
    u"列表框 列表1 \"列表\" \"甲|乙|\" 400 10 600 120 |\n"
    u"日期框 日期1 220 210 400 235 |\n"
    u"图片框 图片1 10 160 60 210 |\n"
    u"进度条 进度1 220 250 400 270 |\n"
    u"滑块 滑块1 220 280 400 300 |\n"
    u"按钮 按钮1 \"确定\" 10 220 80 250 | 鼠标单击:main.clicked|\n"
    u"选项卡 选项卡1 400 130 630 300 |\n"
    u"页面 一\n选项卡页面结束\n页面 二\n选项卡页面结束\n页面 三\n选项卡页面结束\n"
    u"选项卡结束\n"
    u"时钟 时钟1 0 0 1 1 频率:0| 时钟:main.tick|\n"
    u"窗口结束\n";

std::wstring PackLua(const std::wstring& name, const std::string& script, const char16_t* form = kForm) {
  return Project(name).Form(form).Script(script).Engine(kLuaEngine).Pack();
}

// The log lines from the first that starts with `from`.
std::vector<std::string> LinesFrom(const HostRun& run, const std::string& from) {
  std::vector<std::string> lines = run.LogLines();
  const auto first = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(from, 0) == 0; });
  return std::vector<std::string>(first, lines.end());
}

size_t CountLines(const HostRun& run, const std::string& prefix) {
  const std::vector<std::string> lines = run.LogLines();
  return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

TEST(LuaEngine, ControlOperationsRoundTripThroughTheHost) {
  const std::wstring exe = PackLua(L"lua controls", R"(-- every control family, set and read back
function main.init()
  log("begin")
  label.set("标签1", "你好")
  log("label", label.get("标签1"))
  edit.set("编辑框1", "abc")
  log("edit", edit.get("编辑框1"))
  radio.check("单选2", true)
  radio.set_text("单选2", "丙")
  log("radio", radio.checked("单选1"), radio.checked("单选2"), radio.text("单选2"))
  check.set_state("复选1", 1)
  check.set_text("复选1", "记得")
  log("check", check.state("复选1"), check.text("复选1"))
  browse.set("浏览1", "C:\\a.txt")
  log("browse", browse.get("浏览1"))
  combo.add("下拉1", "深圳")
  log("combo", combo.count("下拉1"), combo.item("下拉1", 4), combo.selected("下拉1"))
  combo.select("下拉1", 2)
  log("combo selected", combo.selected("下拉1"))
  combo.remove("下拉1", 1)
  log("combo removed", combo.count("下拉1"), combo.item("下拉1", 1))
  combo.clear("下拉1")
  log("combo cleared", combo.count("下拉1"))
  group.set("分组1", "新分组")
  log("group", group.get("分组1"))
  list.add("列表1", "丙")
  log("list", list.count("列表1"), list.item("列表1", 3), list.selected("列表1"))
  list.remove("列表1", 1)
  log("list removed", list.count("列表1"), list.item("列表1", 1))
  list.clear("列表1")
  log("list cleared", list.count("列表1"))
  log("date", date.set("日期1", "2024-03-05"), date.get("日期1"), date.set("日期1", "not a date"))
  progress.set("进度1", 40)
  log("progress", progress.set("进度1", 70), progress.get("进度1"))
  slider.set("滑块1", 30)
  log("slider", slider.get("滑块1"))
  button.set("按钮1", "好")
  log("button", button.get("按钮1"))
  tab.select("选项卡1", 3)
  log("tab", tab.current("选项卡1"), tab.count("选项卡1"))
  log("picture", picture.load("图片1", "logo.bmp"))
  control.place("按钮1", 20, 300, 90, 30)
  control.move("按钮1", 30, 310)
  control.enable("编辑框1", false)
  control.show("按钮1", false)
  log("raw", send(1527, "编辑框1", "原始"), read(1528, "编辑框1"))
  clock.start("时钟1", 50)
end
function main.tick()
  clock.stop("时钟1")
  log("tick")
  log("end")
end
)");
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);
  HWND main = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(main);
  ASSERT_TRUE(run.WaitForLog("end", 30000));
  const std::vector<std::string> wanted = {
      "begin",
      "label\t你好",
      "edit\tabc",
      "radio\ttrue\ttrue\t丙",
      "check\t1\t记得",
      "browse\tC:\\a.txt",
      "combo\t4\t深圳\tnil",
      "combo selected\t2",
      "combo removed\t3\t上海",
      "combo cleared\t0",
      "group\t新分组",
      "list\t3\t丙\tnil",
      "list removed\t2\t乙",
      "list cleared\t0",
      "date\ttrue\t2024-03-05\tfalse",
      "progress\t40\t70",
      "slider\t30",
      "button\t好",
      "tab\t3\t3",
      "picture\ttrue",
      "raw\t1\t1\t原始",
      "tick",
      "end",
  };
  EXPECT_EQ(LinesFrom(run, "begin"), wanted);
  // What the log says the host did, the windows show.
  HWND button = nullptr;
  for (HWND b : driver::FindDescendants(main, L"Button"))
    if (driver::WindowText(b) == L"好") button = b;
  ASSERT_TRUE(button);
  RECT rect{};
  GetWindowRect(button, &rect);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.top, 310);
  EXPECT_EQ(rect.right - rect.left, 90);
  HWND edit = driver::FindDescendant(main, L"Edit", L"原始");
  ASSERT_TRUE(edit);
  EXPECT_FALSE(IsWindowEnabled(edit));
  EXPECT_FALSE(IsWindowVisible(button));
  ASSERT_TRUE(run.CloseAndWait());
}

TEST(LuaEngine, PluginCallsPassArgumentsByTheRowAndReturnOutValues) {
  ASSERT_TRUE(RegisterPluginStub(true));
  // The stand-in answers dispid * 1000 + the argument count, and writes
  // dispid * 100 + the position into out slots.
  const std::wstring exe =
      Project(L"lua plugin")
          .Form(u"窗口 w \"插件\" 0 0 300 200 | 窗口初始化:main.init|\n窗口结束\n")
          .Script(R"(
function main.init()
  log("before", dm.exists(), dm.call(2529))
  log("create", dm.create(), dm.exists())
  log("FindPic", dm.FindPic(0, 0, 100, 100, "a.bmp", 0.9, 0))
  log("by number", dm.call(2545, 1, 2, 3, 4, "b.bmp", 0.5, 1))
  log("text", dm.call("Ver"))
  log("thread", dm.Ver())
  start("main.other")
end
function main.other()
  log("other thread", dm.exists(), dm.create(), dm.release(), dm.release())
  local ok, message = pcall(dm.call, "NoSuchName")
  log("unnamed", ok, message)
  log("done")
end
)")
          .File(L"api.xml", "<?xml version=\"1.0\"?>\n<api>\n  <!-- names -->\n"
                            "  <call message=\"2545\" name=\"FindPic\"/>\n  <call name=\"Ver\" message=\"2541\" />\n</api>\n")
          .Engine(kLuaEngine)
          .Pack();
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);
  ASSERT_TRUE(run.WaitForLog("done", 30000));
  const std::vector<std::string> wanted = {
      "before\tfalse\t0",
      "create\ttrue\ttrue",
      "FindPic\t46009\t4608\t4609",
      "by number\t46009\t4608\t4609",
      "text\t1000",
      "thread\t1000",
      "other thread\tfalse\ttrue\ttrue\tfalse",
      "unnamed\tfalse\tno plug-in call is named NoSuchName (api.xml)",
      "done",
  };
  std::vector<std::string> lines = LinesFrom(run, "before");
  EXPECT_EQ(lines, wanted);
  ASSERT_TRUE(run.CloseAndWait());
}

TEST(LuaEngine, HandlersRunSideBySideAndTheCloseStopsAnEndlessLoop) {
  const std::wstring exe = PackLua(L"lua threads", R"(
finished = 0
function main.init()
  start("main.ask")
  start("main.spin")
  for i = 1, 6 do start("main.work") end
end
function main.ask()
  log("asking")
  log("answer", input("问题", "等一下"))
end
function main.spin()
  log("spinning")
  while true do end
end
function main.work()
  for i = 1, 20 do label.set("标签1", tostring(i)) end
  finished = finished + 1
  log("worked", finished)
end
function main.quit()
  log("destroy handler ran", finished)
end
)");
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);
  ASSERT_TRUE(run.host().WaitForMainWindow(30000));
  ASSERT_TRUE(run.WaitForLog("worked\t6", 30000)) << "six handlers finish while one waits and one spins";
  EXPECT_EQ(CountLines(run, "asking"), 1u);
  EXPECT_EQ(CountLines(run, "spinning"), 1u);
  ASSERT_TRUE(run.CloseAndWait()) << "the close ends the program, the endless loop stopped";
  EXPECT_EQ(CountLines(run, "destroy handler ran\t6"), 1u);
  EXPECT_FALSE(driver::DirectoryExists(run.WorkDir()));
}

TEST(LuaEngine, ErrorsNameTheFileAndLineAndTheProgramGoesOn) {
  const std::string script = R"(function main.init()
  start("main.broken")
  start("main.wrong")
end
function main.broken()
  local t = nil
  log(t.field)
end
function main.wrong()
  label.set("没有这个", "x")
  start("main.after")
end
function main.after()
  log("still running")
end
)";
  struct Case {
    const wchar_t* commandLine;
    bool box;
  } cases[] = {{L"", false}, {L"qsdebug", true}};
  for (const Case& c : cases) {
    const std::wstring exe = PackLua(L"lua errors", script);
    ASSERT_FALSE(exe.empty());
    driver::StartOptions options;
    options.commandLine = c.commandLine;
    HostRun run(exe, options);
    ASSERT_TRUE(run.WaitForLog("still running", 30000)) << Utf8(c.commandLine);
    ASSERT_TRUE(run.WaitForLog("error in main.broken", 30000));
    EXPECT_EQ(CountLines(run, "error in main.broken: sourseTemp.bak:7: attempt to index a nil value (local 't')"), 1u);
    EXPECT_EQ(CountLines(run, "wrong control name \"没有这个\" in label.set (1525) at sourseTemp.bak:10"), 1u);
    ASSERT_TRUE(run.host().ServeUntil(
        [&] {
          return std::count_if(run.host().boxes().begin(), run.host().boxes().end(), [](const auto& b) {
                   return b.text.find(L"sourseTemp.bak:7:") != std::wstring::npos;
                 }) == (c.box ? 1 : 0) &&
                 std::any_of(run.host().boxes().begin(), run.host().boxes().end(),
                             [](const auto& b) { return b.text == L"不正确的标签控件名"; });
        },
        30000))
        << Utf8(c.commandLine);
    ASSERT_TRUE(run.CloseAndWait());
  }
  // A syntax error names its line; the program still runs and closes.
  const std::wstring exe = PackLua(L"lua syntax", "function main.init()\n  log('x'\nend\n");
  HostRun run(exe);
  ASSERT_TRUE(run.host().WaitForMainWindow(30000));
  ASSERT_TRUE(run.WaitForLog("error in the script: sourseTemp.bak:3: ')' expected (to close '(' at line 2) near 'end'", 30000));
  ASSERT_TRUE(run.CloseAndWait());
}

}  // namespace
}  // namespace qs::test
