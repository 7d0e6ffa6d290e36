// The forms the benchmarks load: many controls of the kinds that carry the
// most fields, in UTF-16.
#pragma once

#include <string>

#include "form/form_walker.h"

namespace qs::bench {

// The reading alone, as the window loader does it: a builder that builds nothing.
class NullBuilder : public FormBuilder {
 public:
  void BuildWindow(const WindowLine&) override {}
  void* BuildControl(const ControlLine&, const ControlParent&) override { return this; }
  void AddPage(void*, const std::u16string&) override {}
  void FinishTab(void*) override {}
};

inline std::u16string Number(int i) {
  const std::string s = std::to_string(i);
  return std::u16string(s.begin(), s.end());
}

// One line per control, cycling through eight kinds; "{}" is the number.
inline std::u16string LargeForm(int controls, const std::u16string& caption = u"基准") {
  static const char16_t* const lines[] = {
      u"标签 标签{} \"标签文字 {}\" 10 10 80 30 字体:(宋体,0,16777215,12,1)| 鼠标单击:main.label|",
      u"按钮 按钮{} \"确定{}\" 260 10 330 30 | 鼠标单击:main.ok|",
      u"编辑框 编辑框{} \"初始{}\" 90 10 250 30 密文:0|文本颜色:0|背景颜色:16777215| 内容改变:main.edit|失去焦点:|",
      u"下拉框 下拉框{} \"北京|上海|广州|{}|\" 10 40 150 200 | 左键单击:|选择改变:main.city|",
      u"复选框 复选框{} \"记住我{}\" 10 10 100 30 是否选中:1| 左键单击:main.remember|",
      u"分组框 分组框{} \"分组{}\" 5 5 300 200 对齐:1|边框颜色:255|标题背景颜色:0|客户区颜色:65280|标题颜色:0|分组框模式:1|",
      u"热键 热键{} 1 1 100 20 虚拟键值:65|模态值:2| 热键:main.hot|失去焦点:|",
      u"列表框 列表框{} \"列表{}\" \"甲|乙|丙|\" 1 1 200 100 | 选择改变:main.list|",
  };
  std::u16string form = u"窗口 主窗口 \"" + caption + u"\" 0 0 1024 768 背景颜色:16777215| 窗口初始化:main.init|\r\n";
  for (int i = 0; i < controls; ++i) {
    std::u16string line = lines[i % 8];
    for (size_t at; (at = line.find(u"{}")) != std::u16string::npos;) line.replace(at, 2, Number(i));
    form += line + u"\r\n";
  }
  return form + u"窗口结束\r\n";
}

// A control name of 63 units that shares its first 59 with every other.
inline std::u16string LongName(int i) {
  std::u16string suffix = Number(i);
  suffix.insert(0, 4 - suffix.size(), u'0');
  return std::u16string(59, u'控') + suffix;
}

}  // namespace qs::bench
