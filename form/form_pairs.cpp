#include "form/form_pairs.h"

#include "common/utf.h"
#include "common/white_space.h"

namespace qs {

namespace {

enum class Field {
  Font, PictureName, IconName, BackgroundImage, BackgroundColor, TextColor, BorderColor, ClientColor, Mode,
  Alignment, Checked, Password, Interval, VirtualKey, PageCount,
  Init, Destroy, Click, Change, LostFocus, HotKey,
};

struct KeyRow {
  std::u16string_view section;
  std::u16string_view key;
  Field field;
};

// Which keys each section word accepts; a section word without rows accepts none.
constexpr KeyRow kKeyTable[] = {
    {u"窗口属性", u"背景颜色", Field::BackgroundColor},
    {u"窗口属性", u"背景图片", Field::BackgroundImage},
    {u"窗口属性", u"背景图标", Field::IconName},
    {u"窗口事件", u"窗口初始化", Field::Init},
    {u"窗口事件", u"窗口销毁", Field::Destroy},
    {u"标签属性", u"字体", Field::Font},
    {u"标签事件", u"鼠标单击", Field::Click},
    {u"分组框属性", u"对齐", Field::Alignment},
    {u"分组框属性", u"边框颜色", Field::BorderColor},
    {u"分组框属性", u"标题背景颜色", Field::BackgroundColor},
    {u"分组框属性", u"客户区颜色", Field::ClientColor},
    {u"分组框属性", u"标题颜色", Field::TextColor},
    {u"分组框属性", u"分组框模式", Field::Mode},
    {u"按钮事件", u"鼠标单击", Field::Click},
    {u"编辑框属性", u"密文", Field::Password},
    {u"编辑框属性", u"文本颜色", Field::TextColor},
    {u"编辑框属性", u"背景颜色", Field::BackgroundColor},
    {u"编辑框事件", u"内容改变", Field::Change},
    {u"编辑框事件", u"失去焦点", Field::LostFocus},
    {u"单选框属性", u"是否选中", Field::Checked},
    {u"复选框属性", u"是否选中", Field::Checked},
    {u"单选框事件", u"左键单击", Field::Click},
    {u"复选框事件", u"左键单击", Field::Click},
    {u"下拉框事件", u"左键单击", Field::Click},
    {u"下拉框事件", u"选择改变", Field::Change},
    {u"列表框事件", u"选择改变", Field::Change},
    {u"滑块事件", u"位置改变", Field::Change},
    {u"图片框属性", u"图片名称", Field::PictureName},
    {u"浏览框属性", u"浏览模式", Field::Mode},
    {u"浏览框事件", u"选择改变", Field::Change},
    {u"时钟属性", u"频率", Field::Interval},
    {u"时钟事件", u"时钟", Field::Click},
    {u"热键属性", u"虚拟键值", Field::VirtualKey},
    {u"热键属性", u"模态值", Field::Mode},
    {u"热键事件", u"热键", Field::HotKey},
    {u"热键事件", u"失去焦点", Field::LostFocus},
    {u"选项卡属性", u"页数", Field::PageCount},
    {u"选项卡事件", u"选择改变", Field::Change},
};

constexpr std::u16string_view kSectionWords[] = {
    u"窗口属性",   u"窗口事件",   u"标签属性",   u"标签事件",   u"分组框属性", u"分组框事件", u"按钮属性",
    u"按钮事件",   u"编辑框属性", u"编辑框事件", u"单选框属性", u"单选框事件", u"复选框属性", u"复选框事件",
    u"下拉框属性", u"下拉框事件", u"列表框属性", u"列表框事件", u"进度条属性", u"进度条事件", u"日期框属性",
    u"日期框事件", u"滑块属性",   u"滑块事件",   u"图片框属性", u"图片框事件", u"浏览框属性", u"浏览框事件",
    u"时钟属性",   u"时钟事件",   u"热键属性",   u"热键事件",   u"选项卡属性", u"选项卡事件",
};

const KeyRow* FindKey(std::u16string_view section, std::u16string_view key) {
  for (const KeyRow& row : kKeyTable)
    if (row.section == section && row.key == key) return &row;
  return nullptr;
}

// A number value, read like ReadNumber: its first token as a 32-bit number.
std::int32_t NumberValue(std::u16string_view value, const FormReader* reader, std::u16string_view key) {
  std::u16string_view rest = value;
  const std::u16string_view token = FormReader::NextToken(rest);
  bool exact = false;
  const std::int32_t number = ParseLong(token, &exact);
  if (!exact && reader)
    reader->Report("the value of " + ToUtf8(key) + " '" + ToUtf8(value) + "' is not a 32-bit number; read as " +
                   std::to_string(number));
  return number;
}

// An event value the engine gets a part of empty: the host splits it at the
// first full stop into module and function.
void CheckEventValue(std::u16string_view value, const FormReader* reader, std::u16string_view key) {
  if (!reader || value.empty()) return;
  const std::size_t stop = value.find(u'.');
  const std::string quoted = "the event " + ToUtf8(key) + " '" + ToUtf8(value) + "'";
  if (stop == std::u16string_view::npos || stop == 0)
    reader->Report(quoted + " names no module (module.function); the engine gets an empty module name");
  else if (stop + 1 == value.size())
    reader->Report(quoted + " names no function (module.function); the engine gets an empty function name");
}

void Store(const KeyRow& row, std::u16string_view item, std::u16string_view value, FormProperties* p,
           FormEvents* e, const FormReader* reader) {
  auto number = [&] { return NumberValue(value, reader, row.key); };
  if (row.field >= Field::Init && e) CheckEventValue(value, reader, row.key);
  const std::u16string text(value);
  switch (row.field) {
    case Field::Font: if (p) p->font = ReadFontDescription(item); break;
    case Field::PictureName: if (p) p->pictureName = text; break;
    case Field::IconName: if (p) p->iconName = text; break;
    case Field::BackgroundImage: if (p) p->backgroundImage = text; break;
    case Field::BackgroundColor: if (p) p->backgroundColor = number(); break;
    case Field::TextColor: if (p) p->textColor = number(); break;
    case Field::BorderColor: if (p) p->borderColor = number(); break;
    case Field::ClientColor: if (p) p->clientColor = number(); break;
    case Field::Mode: if (p) p->mode = number(); break;
    case Field::Alignment: if (p) p->alignment = number(); break;
    case Field::Checked: if (p) p->checked = number() != 0; break;
    case Field::Password: if (p) p->password = number() != 0; break;
    case Field::Interval: if (p) p->interval = number(); break;
    case Field::VirtualKey: if (p) p->virtualKey = number(); break;
    case Field::PageCount: if (p) p->pageCount = number(); break;
    case Field::Init: if (e) e->init = text; break;
    case Field::Destroy: if (e) e->destroy = text; break;
    case Field::Click: if (e) e->click = text; break;
    case Field::Change: if (e) e->change = text; break;
    case Field::LostFocus: if (e) e->lostFocus = text; break;
    case Field::HotKey: if (e) e->hotKey = text; break;
  }
}

}  // namespace

bool IsSectionWord(std::u16string_view sectionWord) {
  for (std::u16string_view word : kSectionWords)
    if (word == sectionWord) return true;
  return false;
}

FontDescription ReadFontDescription(std::u16string_view item) {
  FontDescription font;
  const std::size_t open = item.find(u'(');
  std::u16string_view text = open == std::u16string_view::npos ? item : item.substr(open + 1);
  // A field runs to the next comma; without one the field is empty and the
  // text stays as it is.
  auto field = [&text]() {
    text = Trim(text);
    const std::size_t comma = text.find(u',');
    if (comma == std::u16string_view::npos) return std::u16string_view();
    const std::u16string_view f = text.substr(0, comma);
    text.remove_prefix(comma + 1);
    return f;
  };
  font.face = std::u16string(field());
  font.textColor = ParseLong(field());
  font.backColor = ParseLong(field());
  font.height = ParseLong(field());
  const std::size_t close = text.find(u')');
  font.style = close == std::u16string_view::npos ? 0 : ParseLong(text.substr(0, close));
  return font;
}

void ParsePairs(std::u16string_view& line, std::u16string_view sectionWord, FormProperties* properties,
                FormEvents* events, const FormReader* reader) {
  if (sectionWord.empty() || line.size() <= 1) return;
  for (;;) {
    const std::size_t bar = line.find(u'|');
    if (bar == std::u16string_view::npos) return;
    const std::u16string_view item = line.substr(0, bar);
    line.remove_prefix(bar + 1);
    if (!item.empty()) {
      const std::size_t colon = item.find(u':');
      const std::u16string_view key = Trim(colon == std::u16string_view::npos ? std::u16string_view() : item.substr(0, colon));
      const std::u16string_view value = colon == std::u16string_view::npos ? std::u16string_view() : Trim(item.substr(colon + 1));
      if (const KeyRow* row = FindKey(sectionWord, key)) {
        Store(*row, item, value, properties, events, reader);
      } else if (reader && !Trim(item).empty()) {
        reader->Report(colon == std::u16string_view::npos
                           ? "the item '" + ToUtf8(Trim(item)) + "' has no ':' and is skipped"
                           : "the key '" + ToUtf8(key) + "' is not one of " + ToUtf8(sectionWord) + " and is skipped");
      }
    }
    const std::size_t nextBar = line.find(u'|');
    const std::size_t space = line.find(u' ');
    if (space != std::u16string_view::npos && (nextBar == std::u16string_view::npos || space < nextBar)) return;
    if (line.size() <= 1) return;
  }
}

}  // namespace qs
