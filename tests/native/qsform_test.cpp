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
      u"w w \"c\" 0 0 1 1 | 窗口初始化:a.b|\n"
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
      u"w w \"c\" 0 0 1 1 背景图片:bg.bmp|\n图片框 p 1 1 2 2 图片名称:logo.png|\n图片框 q 1 1 2 2 图片名称:none.gif|\n窗口结束\n";
  std::vector<std::string> lines;
  for (const Finding& f : CheckForm(test::FormFileBytes(form), project)) lines.push_back(std::to_string(f.line) + ": " + f.text);
  const std::vector<std::string> expected = {
      "2: the file 'logo.png' is not an image the host can decode; nothing is shown",
      "3: the image 'none.gif' is not in the project; nothing is shown",
  };
  EXPECT_EQ(lines, expected);
}

TEST(QsForm, EncodingIsChecked) {
  EXPECT_TRUE(LooksLikeUtf16Le(test::FormFileBytes(u"窗口 w \"c\" 0 0 1 1\n窗口结束\n")));
  EXPECT_FALSE(LooksLikeUtf16Le("w w \"c\" 0 0 1 1\r\n"));
  EXPECT_FALSE(LooksLikeUtf16Le("\xEF\xBB\xBFw"));
  EXPECT_FALSE(LooksLikeUtf16Le("abc"));
  const std::vector<Finding> findings = CheckForm("w w \"c\" 0 0 1 1\r\n\xE7\xAA\x97\xE5\x8F\xA3\xE7\xBB\x93\xE6\x9D\x9F\r\n", nullptr);
  ASSERT_FALSE(findings.empty());
  EXPECT_EQ(findings[0].text, "the file does not look like UTF-16LE text; the host reads it as UTF-16LE anyway");
}

}  // namespace
}  // namespace qs::qsform
