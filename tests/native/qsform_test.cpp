// The form walk as qsform shows it: the example form dumped, the walk's
// order rules, and the findings of `qsform check`.
#include <gtest/gtest.h>

#include "tests/support/form_file.h"
#include "tools/qsform/form_report.h"

namespace qs::qsform {
namespace {

std::string Dump(std::u16string_view text) { return DumpForm(FormTextFromBytes(test::FormFileBytes(text))); }

std::vector<std::string> Check(std::u16string_view text) {
  std::vector<std::string> lines;
  for (const Finding& f : CheckForm(test::FormFileBytes(text), nullptr)) lines.push_back(std::to_string(f.line) + ": " + f.text);
  return lines;
}

const char16_t kExample[] =
    u"窗口 主窗口 \"示例\" 0 0 400 300 背景颜色:2147483647|背景图片:bg.bmp|背景图标:| 窗口初始化:main.init|窗口销毁:main.quit|\n"
    u"标签 标签1 \"用户名:\" 10 10 80 30 字体:(宋体,0,16777215,12,1)| 鼠标单击:main.label1|\n"
    u"编辑框 编辑框1 \"\" 90 10 250 30 密文:0|文本颜色:0|背景颜色:16777215| 内容改变:main.edit1|失去焦点:|\n"
    u"按钮 按钮1 \"确定\" 260 10 330 30 | 鼠标单击:main.ok|\n"
    u"下拉框 下拉框1 \"北京|上海|\" 10 40 150 200 | 左键单击:|选择改变:main.city|\n"
    u"选项卡 选项卡1 10 80 380 280 页数:2| 选择改变:main.tab|\n"
    u"页面 第一页\n"
    u"复选框 复选框1 \"记住我\" 10 10 100 30 是否选中:1| 左键单击:main.remember|\n"
    u"选项卡页面结束\n"
    u"页面 第二页\n"
    u"选项卡页面结束\n"
    u"选项卡结束\n"
    u"窗口结束\n";

TEST(QsForm, DumpsTheExampleForm) {
  EXPECT_EQ(Dump(kExample),
            "{\n"
            "  \"window\": {\"caption\": \"示例\", \"rect\": [0,0,400,300], \"properties\": {\"iconName\": \"\", "
            "\"backgroundImage\": \"bg.bmp\", \"backgroundColor\": 2147483647}, \"events\": {\"init\": \"main.init\", "
            "\"destroy\": \"main.quit\"}},\n"
            "  \"controls\": [\n"
            "    {\"kind\": \"Label\", \"name\": \"标签1\", \"text\": \"用户名:\", \"rect\": [10,10,80,30], "
            "\"properties\": {\"font\": {\"face\": \"宋体\", \"textColor\": 0, \"backColor\": 16777215, \"height\": 12, "
            "\"style\": 1}}, \"events\": {\"click\": \"main.label1\"}, \"parent\": null, \"tableIndex\": 0},\n"
            "    {\"kind\": \"EditBox\", \"name\": \"编辑框1\", \"text\": \"\", \"rect\": [90,10,250,30], \"properties\": "
            "{\"backgroundColor\": 16777215, \"textColor\": 0, \"password\": false}, \"events\": {\"change\": "
            "\"main.edit1\", \"lostFocus\": \"\"}, \"parent\": null, \"tableIndex\": 1},\n"
            "    {\"kind\": \"Button\", \"name\": \"按钮1\", \"text\": \"确定\", \"rect\": [260,10,330,30], \"properties\": "
            "{}, \"events\": {\"click\": \"main.ok\"}, \"parent\": null, \"tableIndex\": 2},\n"
            "    {\"kind\": \"DropDown\", \"name\": \"下拉框1\", \"items\": [\"北京\",\"上海\"], \"rect\": [10,40,150,200], "
            "\"properties\": {}, \"events\": {\"click\": \"\", \"change\": \"main.city\"}, \"parent\": null, "
            "\"tableIndex\": 3},\n"
            "    {\"kind\": \"TabControl\", \"name\": \"选项卡1\", \"pages\": [\"第一页\",\"第二页\"], \"rect\": "
            "[10,80,380,280], \"properties\": {\"pageCount\": 2}, \"events\": {\"change\": \"main.tab\"}, \"parent\": "
            "null, \"tableIndex\": 4},\n"
            "    {\"kind\": \"CheckBox\", \"name\": \"复选框1\", \"text\": \"记住我\", \"rect\": [10,10,100,30], "
            "\"properties\": {\"checked\": true}, \"events\": {\"click\": \"main.remember\"}, \"parent\": {\"tab\": 4, "
            "\"page\": 0}, \"tableIndex\": 5}\n"
            "  ],\n"
            "  \"complete\": true\n"
            "}\n");
}

TEST(QsForm, WalkRules) {
  // Only a window line and the end: no controls.
  EXPECT_NE(Dump(u"w w \"c\" 10 20 410 320 |\n窗口结束\n").find("\"rect\": [10,20,410,320]"), std::string::npos);
  EXPECT_NE(Dump(u"w w \"c\" 0 0 1 1\n窗口结束").find("\"controls\": [],"), std::string::npos);

  // The text ends before 窗口结束: what was read stays, complete is false.
  const std::string partial = Dump(u"w w \"c\" 0 0 1 1\n按钮 b \"x\" 1 2 3 4 | 鼠标单击:a.b|");
  EXPECT_NE(partial.find("\"name\": \"b\""), std::string::npos);
  EXPECT_NE(partial.find("\"complete\": false"), std::string::npos);

  // A group box on the main window gets no event pass; on a page it does
  // (and its event section accepts nothing).
  const std::string group = Dump(u"w w \"c\" 0 0 1 1\n分组框 g \"t\" 1 2 3 4 对齐:1| 鼠标单击:a.b|\n窗口结束\n");
  EXPECT_NE(group.find("\"alignment\": 1"), std::string::npos);

  // A misspelt kind word and a clock on a page create nothing; the next line is read.
  const std::string skipped = Dump(
      u"w w \"c\" 0 0 1 1\n按扭 b \"x\" 1 2 3 4 |\n选项卡 t 0 0 9 9 |\np 一\n时钟 c 1 1 2 2 频率:5|\n"
      u"窗口结束\n热键 h 1 1 2 2 |\n选项卡页面结束\np 二\np 三\n选项卡页面结束\n选项卡结束\n标签 l \"x\" 1 1 2 2 |\n窗口结束\n");
  EXPECT_EQ(skipped.find("\"b\""), std::string::npos);
  EXPECT_EQ(skipped.find("Clock"), std::string::npos);
  EXPECT_NE(skipped.find("\"name\": \"h\", \"rect\": [1,1,2,2], \"properties\": {}, \"events\": {}, \"parent\": "
                         "{\"tab\": 0, \"page\": 0}, \"tableIndex\": 1"),
            std::string::npos);
  // "p 三" is read as a control line of page two; 窗口结束 inside a page is skipped.
  EXPECT_NE(skipped.find("\"pages\": [\"一\",\"二\"]"), std::string::npos);
  EXPECT_NE(skipped.find("\"name\": \"l\""), std::string::npos);
  EXPECT_NE(skipped.find("\"complete\": true"), std::string::npos);

  // A duplicate name is created but not registered.
  const std::string duplicate = Dump(u"w w \"c\" 0 0 1 1\n按钮 Ok \"x\" 1 2 3 4 |\n按钮 OK \"y\" 1 2 3 4 |\n窗口结束\n");
  EXPECT_NE(duplicate.find("\"name\": \"OK\", \"text\": \"y\", \"rect\": [1,2,3,4], \"properties\": {}, \"events\": "
                           "{}, \"parent\": null, \"tableIndex\": null"),
            std::string::npos);
}

TEST(QsForm, MoreThan32PagesAreRefused) {
  std::u16string form = u"w w \"c\" 0 0 1 1\n选项卡 t 0 0 9 9 |\n";
  for (int i = 0; i < 34; ++i) {
    const std::string number = std::to_string(i);
    form += u"p x\n按钮 b" + std::u16string(number.begin(), number.end()) + u" \"\" 1 1 2 2 |\n选项卡页面结束\n";
  }
  form += u"选项卡结束\n窗口结束\n";
  const std::string dump = Dump(form);
  EXPECT_NE(dump.find("\"name\": \"b31\""), std::string::npos);  // the 32nd page
  EXPECT_EQ(dump.find("\"name\": \"b32\""), std::string::npos);  // the 33rd: skipped
  EXPECT_NE(dump.find("\"complete\": true"), std::string::npos);
  const std::vector<std::string> findings = Check(form);
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0], "99: a tab control holds at most 32 pages; this page and its controls are skipped");
}

TEST(QsForm, CheckReportsWhatTheHostWouldSkip) {
  const std::vector<std::string> findings = Check(
      u"w w \"c\" 0 0 100 100 | 窗口初始化:a.b|\n"
      u"按扭 b \"x\" 1 2 3 4 |\n"
      u"按钮 b x 1 2 3 4 |\n"
      u"按钮 c \"x\" 1 2 3 4px | 鼠标单击:a.b|颜色:1|\n"
      u"按钮 B \"x\" 1 2 3 4 |\n"
      u"选项卡 t 0 0 9 9 |\n"
      u"p 一\n"
      u"时钟 c 1 1 2 2 频率:5|\n"
      u"选项卡页面结束\n"
      u"选项卡结束\n");
  const std::vector<std::string> expected = {
      "2: unknown kind word '按扭'; the line is skipped",
      "3: a quoted field expected, found 'x'",
      "4: '4px' is not a 32-bit number; read as 4",
      "4: the key '颜色' is not one of 按钮事件 and is skipped",
      "5: the name 'B' repeats an earlier name (A-Z compared without case); the control cannot be found by name",
      "8: a 时钟 cannot stand on a tab page; the line is skipped",
      "11: the text ends before 窗口结束",
  };
  EXPECT_EQ(findings, expected);
}

TEST(QsForm, CheckLooksForTheImagesTheFormNames) {
  const FileHead project = [](const std::u16string& name) -> std::optional<std::string> {
    if (name == u"bg.bmp") return std::string("BM\x36\x00", 4);
    if (name == u"logo.png") return std::string("not a picture");
    return std::nullopt;
  };
  const std::u16string form =
      u"w w \"c\" 0 0 100 100 背景图片:bg.bmp|\n图片框 p 1 1 2 2 图片名称:logo.png|\n图片框 q 1 1 2 2 图片名称:none.gif|\n窗口结束\n";
  std::vector<std::string> lines;
  for (const Finding& f : CheckForm(test::FormFileBytes(form), project)) lines.push_back(std::to_string(f.line) + ": " + f.text);
  const std::vector<std::string> expected = {
      "2: the file 'logo.png' is not an image the host can decode; nothing is shown",
      "3: the image 'none.gif' is not in the project; nothing is shown",
  };
  EXPECT_EQ(lines, expected);
}

// Lines the host reads otherwise than their author meant: each finding
// with the line it is on.
TEST(QsForm, CheckReportsTailsEventsAndPlaces) {
  struct Case {
    const char* rule;
    std::u16string_view line;  // the second line of a 400 x 300 window
    std::vector<std::string> findings;
  };
  const Case cases[] = {
      {"an event item without its closing bar is not read", u"按钮 b \"x\" 1 2 30 40 | 鼠标单击:main.ok",
       {"2: '鼠标单击:main.ok' has no closing '|'; the host does not read it"}},
      {"the same after a first event that has its bar", u"编辑框 e \"\" 1 2 30 40 | 内容改变:main.a|失去焦点:main.b",
       {"2: '失去焦点:main.b' has no closing '|'; the host does not read it"}},
      {"a property item without its bar", u"复选框 c \"x\" 1 2 30 40 是否选中:1",
       {"2: '是否选中:1' has no closing '|'; the host does not read it"}},
      {"a space inside the event list ends it", u"编辑框 e \"\" 1 2 30 40 | 内容改变:main.a| 失去焦点:main.b|",
       {"2: '失去焦点:main.b|' is not read: a space before it ended the list"}},
      {"a group box on the window has no event list", u"分组框 g \"t\" 1 2 30 40 对齐:1| 鼠标单击:main.g|",
       {"2: '鼠标单击:main.g|' is not read: a space before it ended the list"}},
      {"a lone bar and a closed tail are fine", u"按钮 b \"x\" 1 2 30 40 | 鼠标单击:main.ok|", {}},
      {"a line that ends at its last number is fine", u"按钮 b \"x\" 1 2 30 40", {}},
      {"an empty event is no call and fine", u"按钮 b \"x\" 1 2 30 40 | 鼠标单击:|", {}},
      {"an event without a module", u"按钮 b \"x\" 1 2 30 40 | 鼠标单击:ok|",
       {"2: the event 鼠标单击 'ok' names no module (module.function); the engine gets an empty module name"}},
      {"an event that starts with its full stop", u"按钮 b \"x\" 1 2 30 40 | 鼠标单击:.ok|",
       {"2: the event 鼠标单击 '.ok' names no module (module.function); the engine gets an empty module name"}},
      {"an event without a function", u"按钮 b \"x\" 1 2 30 40 | 鼠标单击:main.|",
       {"2: the event 鼠标单击 'main.' names no function (module.function); the engine gets an empty function name"}},
      {"a right edge before the left edge", u"按钮 b \"x\" 50 2 30 40 |",
       {"2: the right or bottom edge of 'b' lies before its left or top edge; the control has no size"}},
      {"a bottom edge before the top edge", u"标签 l \"x\" 1 40 30 2 |",
       {"2: the right or bottom edge of 'l' lies before its left or top edge; the control has no size"}},
      {"an empty rectangle is no inversion", u"进度条 p 10 10 10 10 |", {}},
      {"right of the window", u"按钮 b \"x\" 400 2 430 40 |", {"2: 'b' lies outside the window (400 x 300); it cannot be seen"}},
      {"below the window", u"按钮 b \"x\" 1 300 30 340 |", {"2: 'b' lies outside the window (400 x 300); it cannot be seen"}},
      {"left of the window", u"按钮 b \"x\" -40 2 0 40 |", {"2: 'b' lies outside the window (400 x 300); it cannot be seen"}},
      {"above the window", u"按钮 b \"x\" 1 -40 30 0 |", {"2: 'b' lies outside the window (400 x 300); it cannot be seen"}},
      {"partly inside counts as inside", u"按钮 b \"x\" 380 280 430 340 |", {}},
      {"a clock has no place on screen", u"时钟 t 900 900 901 901 频率:5|", {}},
  };
  for (const Case& c : cases) {
    const std::u16string form = u"w w \"c\" 0 0 400 300 |\n" + std::u16string(c.line) + u"\n窗口结束\n";
    EXPECT_EQ(Check(form), c.findings) << c.rule;
  }
  // The window line's own tail and rectangle.
  EXPECT_EQ(Check(u"w w \"c\" 0 0 400 300 | 窗口初始化:main.init\n窗口结束\n"),
            std::vector<std::string>{"1: '窗口初始化:main.init' has no closing '|'; the host does not read it"});
  EXPECT_EQ(Check(u"w w \"c\" 400 0 0 300 |\n窗口结束\n"),
            std::vector<std::string>{
                "1: the window's right or bottom edge lies before its left or top edge; the window has no size"});
  // Edges at the ends of the 32-bit range.
  EXPECT_EQ(Check(u"w w \"c\" -2147483648 0 2147483647 300 |\n按钮 b \"x\" 1 400 30 430 |\n窗口结束\n"),
            std::vector<std::string>{"2: 'b' lies outside the window (4294967295 x 300); it cannot be seen"});
  // On a page, the tab control's size is the bound.
  EXPECT_EQ(Check(u"w w \"c\" 0 0 400 300 |\n选项卡 t 10 10 110 110 |\np 一\n按钮 b \"x\" 120 5 150 30 |\n"
                  u"按钮 c \"x\" 5 5 30 30 |\n选项卡页面结束\n选项卡结束\n窗口结束\n"),
            std::vector<std::string>{"4: 'b' lies outside its tab control (100 x 100); it cannot be seen"});
}

std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (char16_t c : text) {
    const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST(QsForm, EncodingIsChecked) {
  const std::string utf8 = "窗口 w \"c\" 0 0 400 300 |\r\n按钮 b \"确定\" 1 1 30 30 |\r\n窗口结束\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    FormEncoding encoding;
    std::string finding;  // its start; empty: none
  };
  const Case cases[] = {
      {"UTF-16LE", test::FormFileBytes(u"窗口 w \"c\" 0 0 1 1\n窗口结束\n"), FormEncoding::Utf16Le, ""},
      {"UTF-16LE with its mark", "\xFF\xFE" + test::FormFileBytes(u"窗口 w \"c\" 0 0 1 1\n窗口结束\n"),
       FormEncoding::Utf16Le, ""},
      {"UTF-8", utf8, FormEncoding::Utf8, "the file is UTF-8 text (no byte-order mark); the host reads main.qwin only"},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8, FormEncoding::Utf8WithMark,
       "the file is UTF-8 text with a byte-order mark; the host reads main.qwin only"},
      {"plain ASCII is UTF-8 too", "w w \"c\" 0 0 1 1\r\n", FormEncoding::Utf8, "the file is UTF-8 text"},
      {"GBK", "\xB4\xB0\xBF\xDA w \"c\" 0 0 1 1\r\n", FormEncoding::EightBit, "the file is 8-bit text in a code page"},
      {"UTF-16BE with its mark", "\xFE\xFF" + Utf16(u"w w \"c\" 0 0 1 1\r\n", true), FormEncoding::Utf16Be,
       "the file is UTF-16 big-endian text"},
      {"UTF-16BE", Utf16(u"w w \"c\" 0 0 1 1\r\n", true), FormEncoding::Utf16Be, "the file is UTF-16 big-endian text"},
      {"UTF-16LE with LF alone", Utf16(u"w w \"c\" 0 0 1 1\n窗口结束\n", false), FormEncoding::Utf16Le,
       "the lines end in LF alone; the host cuts lines at CR"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DetectFormEncoding(c.bytes), c.encoding) << c.name;
    const std::optional<Finding> finding = FileFormatFinding(c.bytes);
    if (c.finding.empty()) {
      EXPECT_FALSE(finding) << c.name << ": " << finding->text;
      continue;
    }
    ASSERT_TRUE(finding) << c.name;
    EXPECT_EQ(finding->text.rfind(c.finding, 0), 0u) << c.name << ": " << finding->text;
    // The check says it once and stops: nothing read in the wrong encoding follows.
    const Findings all = CheckForm(c.bytes, nullptr);
    ASSERT_EQ(all.size(), 1u) << c.name;
    EXPECT_EQ(all[0].line, 1);
    EXPECT_EQ(all[0].text, finding->text);
  }
  // It says how to save the file.
  EXPECT_NE(FileFormatFinding(utf8)->text.find("Save it as UTF-16LE with lines ending in CR LF: in Notepad, Save As with "
                                               "the encoding \"UTF-16 LE\"; or iconv -f UTF-8 -t UTF-16LE"),
            std::string::npos);
}

TEST(QsForm, ThePackageFileNameInAnyCase) {
  EXPECT_TRUE(IsPackageFileName(u"QS.lc"));
  EXPECT_TRUE(IsPackageFileName(u"qs.LC"));
  EXPECT_FALSE(IsPackageFileName(u"QS.lc.txt"));
  EXPECT_FALSE(IsPackageFileName(u"QS_lc"));
  EXPECT_FALSE(IsPackageFileName(u"S.lc"));
}

}  // namespace
}  // namespace qs::qsform
