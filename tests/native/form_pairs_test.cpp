// Property and event lists: the splitting rules, the key table, the values.
#include <gtest/gtest.h>

#include "form/form_pairs.h"

namespace qs {
namespace {

struct Parsed {
  FormProperties properties;
  FormEvents events;
  std::u16string rest;
};

Parsed Parse(std::u16string_view line, std::u16string_view properties, std::u16string_view events) {
  Parsed p;
  ParsePairs(line, properties, &p.properties, nullptr);
  ParsePairs(line, events, nullptr, &p.events);
  p.rest = line;
  return p;
}

TEST(FormPairs, WindowTailFromTheExample) {
  const Parsed p = Parse(u"背景颜色:2147483647|背景图片:bg.bmp|背景图标:| 窗口初始化:main.init|窗口销毁:main.quit|",
                         u"窗口属性", u"窗口事件");
  EXPECT_EQ(p.properties.backgroundColor, 2147483647);
  EXPECT_EQ(p.properties.backgroundImage, u"bg.bmp");
  EXPECT_EQ(p.properties.iconName, u"");
  EXPECT_EQ(p.events.init, u"main.init");
  EXPECT_EQ(p.events.destroy, u"main.quit");
}

TEST(FormPairs, SplittingRules) {
  // A lone bar is the empty first item; the event list follows.
  Parsed p = Parse(u"| 鼠标单击:main.ok|", u"按钮属性", u"按钮事件");
  EXPECT_EQ(p.events.click, u"main.ok");

  // Key and value are trimmed; a key given twice keeps its last value.
  p = Parse(u" 密文 : 1 |文本颜色:255|密文:0| 内容改变:a.b|", u"编辑框属性", u"编辑框事件");
  EXPECT_EQ(p.properties.password, false);
  EXPECT_EQ(p.properties.textColor, 255);
  EXPECT_EQ(p.events.change, u"a.b");

  // A value with a space is read whole only as the first item; later the
  // space ends the property list.
  p = Parse(u"字体:(MS Sans Serif,0,0,8,0)| 鼠标单击:x.y|", u"标签属性", u"标签事件");
  EXPECT_EQ(p.properties.font->face, u"MS Sans Serif");
  EXPECT_EQ(p.events.click, u"x.y");
  p = Parse(u"密文:1|文本颜色:1 2|背景颜色:3|", u"编辑框属性", u"编辑框事件");
  EXPECT_EQ(p.properties.password, true);
  EXPECT_FALSE(p.properties.textColor);
  EXPECT_FALSE(p.properties.backgroundColor);

  // Text after the last bar is not read; an item without a colon matches nothing.
  p = Parse(u"是否选中:1|trailing", u"复选框属性", u"复选框事件");
  EXPECT_EQ(p.properties.checked, true);
  p = Parse(u"是否选中|", u"复选框属性", u"复选框事件");
  EXPECT_FALSE(p.properties.checked);

  // A line of one unit or less reads nothing.
  p = Parse(u"|", u"按钮属性", u"按钮事件");
  EXPECT_EQ(p.rest, u"|");
}

TEST(FormPairs, KeysAreAcceptedOnlyByTheirSection) {
  struct Case {
    std::u16string section, item;
    bool accepted;
  } cases[] = {
      {u"分组框属性", u"标题背景颜色:5|", true}, {u"分组框属性", u"背景颜色:5|", false},
      {u"编辑框属性", u"背景颜色:5|", true},     {u"窗口属性", u"背景颜色:5|", true},
      {u"按钮属性", u"背景颜色:5|", false},      {u"进度条属性", u"背景颜色:5|", false},
      {u"窗口属性 ", u"背景颜色:5|", false},
  };
  for (const Case& c : cases) {
    FormProperties properties;
    std::u16string_view line = c.item;
    ParsePairs(line, c.section, &properties, nullptr);
    EXPECT_EQ(properties.backgroundColor.has_value(), c.accepted);
  }
  EXPECT_TRUE(IsSectionWord(u"选项卡事件"));
  EXPECT_FALSE(IsSectionWord(u"选项卡"));
}

TEST(FormPairs, EveryKeyGoesToItsField) {
  FormProperties p;
  FormEvents e;
  auto parse = [&](std::u16string_view section, std::u16string_view items) {
    std::u16string_view line = items;
    ParsePairs(line, section, &p, &e);
  };
  parse(u"分组框属性", u"对齐:1|边框颜色:2|标题背景颜色:3|客户区颜色:4|标题颜色:5|分组框模式:6|");
  EXPECT_EQ(p.alignment, 1);
  EXPECT_EQ(p.borderColor, 2);
  EXPECT_EQ(p.backgroundColor, 3);
  EXPECT_EQ(p.clientColor, 4);
  EXPECT_EQ(p.textColor, 5);
  EXPECT_EQ(p.mode, 6);
  parse(u"热键属性", u"虚拟键值:65|模态值:2|");
  EXPECT_EQ(p.virtualKey, 65);
  EXPECT_EQ(p.mode, 2);
  parse(u"热键事件", u"热键:a.hot|失去焦点:a.lost|");
  EXPECT_EQ(e.hotKey, u"a.hot");
  EXPECT_EQ(e.lostFocus, u"a.lost");
  parse(u"时钟属性", u"频率:500|");
  EXPECT_EQ(p.interval, 500);
  parse(u"时钟事件", u"时钟:a.tick|");
  EXPECT_EQ(e.click, u"a.tick");
  parse(u"图片框属性", u"图片名称:logo.png|");
  EXPECT_EQ(p.pictureName, u"logo.png");
  parse(u"浏览框属性", u"浏览模式:3|");
  EXPECT_EQ(p.mode, 3);
  parse(u"选项卡属性", u"页数:2|");
  EXPECT_EQ(p.pageCount, 2);
  parse(u"下拉框事件", u"左键单击:a.drop|选择改变:a.sel|");
  EXPECT_EQ(e.click, u"a.drop");
  EXPECT_EQ(e.change, u"a.sel");
  parse(u"滑块事件", u"位置改变:a.pos|");
  EXPECT_EQ(e.change, u"a.pos");
  parse(u"编辑框属性", u"密文:2|");
  EXPECT_EQ(p.password, true);
  parse(u"窗口属性", u"背景颜色:4294967295|");
  EXPECT_EQ(p.backgroundColor, 2147483647);
}

TEST(FormPairs, FontDescription) {
  struct Case {
    const char* rule;
    std::u16string item;
    FontDescription font;
  } cases[] = {
      {"the example", u"字体:(宋体,0,16777215,12,1)", {u"宋体", 0, 16777215, 12, 1}},
      {"bold and centred, red on black", u"字体:(Arial,255,0,-12,33)", {u"Arial", 255, 0, -12, 33}},
      {"face with spaces", u"字体:(MS Sans Serif,0,0,8,160)", {u"MS Sans Serif", 0, 0, 8, 160}},
      {"fields are trimmed at their start", u"字体:( a , 1, 2, 3, 4)", {u"a ", 1, 2, 3, 4}},
      {"without a bracket: from the start of the item", u"字体:x,1,2,3,4)", {u"字体:x", 1, 2, 3, 4}},
      {"a missing comma gives empty fields", u"字体:(Arial)", {u"", 0, 0, 0, 0}},
      {"a missing closing bracket gives style 0", u"字体:(a,1,2,3,4", {u"a", 1, 2, 3, 0}},
  };
  for (const Case& c : cases) {
    const FontDescription f = ReadFontDescription(c.item);
    EXPECT_EQ(f.face, c.font.face) << c.rule;
    EXPECT_EQ(f.textColor, c.font.textColor) << c.rule;
    EXPECT_EQ(f.backColor, c.font.backColor) << c.rule;
    EXPECT_EQ(f.height, c.font.height) << c.rule;
    EXPECT_EQ(f.style, c.font.style) << c.rule;
  }
}

}  // namespace
}  // namespace qs
