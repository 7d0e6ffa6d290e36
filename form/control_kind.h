// The sixteen kinds of controls of a form: their codes, names and kind words.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qs {

enum class ControlKind : std::int32_t {
  Label = 0,
  Button = 1,
  EditBox = 2,
  RadioButton = 3,
  CheckBox = 4,
  DropDown = 5,
  GroupBox = 6,
  ListBox = 7,
  ProgressBar = 8,
  DateBox = 9,
  PictureBox = 10,
  Slider = 11,
  BrowseBox = 12,
  TabControl = 13,
  Clock = 14,
  HotKey = 15,
};

struct ControlKindInfo {
  ControlKind kind;
  std::u16string_view word;            // the first token of the control's form line
  std::u16string_view propertySection; // section word of its property list
  std::u16string_view eventSection;    // section word of its event list
  std::string_view name;               // ControlKind name
};

// In the loader's order of comparison; the first fourteen may stand on a tab page.
inline constexpr ControlKindInfo kControlKinds[] = {
    {ControlKind::Label, u"标签", u"标签属性", u"标签事件", "Label"},
    {ControlKind::GroupBox, u"分组框", u"分组框属性", u"分组框事件", "GroupBox"},
    {ControlKind::Button, u"按钮", u"按钮属性", u"按钮事件", "Button"},
    {ControlKind::EditBox, u"编辑框", u"编辑框属性", u"编辑框事件", "EditBox"},
    {ControlKind::RadioButton, u"单选框", u"单选框属性", u"单选框事件", "RadioButton"},
    {ControlKind::CheckBox, u"复选框", u"复选框属性", u"复选框事件", "CheckBox"},
    {ControlKind::DropDown, u"下拉框", u"下拉框属性", u"下拉框事件", "DropDown"},
    {ControlKind::ListBox, u"列表框", u"列表框属性", u"列表框事件", "ListBox"},
    {ControlKind::ProgressBar, u"进度条", u"进度条属性", u"进度条事件", "ProgressBar"},
    {ControlKind::DateBox, u"日期框", u"日期框属性", u"日期框事件", "DateBox"},
    {ControlKind::Slider, u"滑块", u"滑块属性", u"滑块事件", "Slider"},
    {ControlKind::PictureBox, u"图片框", u"图片框属性", u"图片框事件", "PictureBox"},
    {ControlKind::BrowseBox, u"浏览框", u"浏览框属性", u"浏览框事件", "BrowseBox"},
    {ControlKind::HotKey, u"热键", u"热键属性", u"热键事件", "HotKey"},
    {ControlKind::Clock, u"时钟", u"时钟属性", u"时钟事件", "Clock"},
    {ControlKind::TabControl, u"选项卡", u"选项卡属性", u"选项卡事件", "TabControl"},
};
inline constexpr int kKindsOnPages = 14;  // "标签" to "热键"

// The kind of a kind word; `onPage` limits it to the first fourteen words.
const ControlKindInfo* FindControlKind(std::u16string_view word, bool onPage = false);

}  // namespace qs
