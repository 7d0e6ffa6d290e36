// The window from the form with labels, group boxes, edit boxes, browse
// boxes, buttons, check boxes and radio buttons: what the loader creates and
// the events that user actions raise.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls/qs_browse.h"
#include "controls/qs_button.h"
#include "controls/qs_edit.h"
#include "controls/qs_group_box.h"
#include "controls/qs_static.h"
#include "tests/windows/form_host.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace qs::test {
namespace {

using Events = std::vector<std::wstring>;

const char16_t kForm[] =
    u"窗口 主窗口 \"基本控件\" 10 20 410 320 背景颜色:255| 窗口初始化:main.init|窗口销毁:main.quit|\n"
    u"标签 标签1 \"用户名:\" 10 10 80 30 字体:(Arial,255,0,-12,33)| 鼠标单击:main.label|\n"
    u"分组框 分组框1 \"t\" 10 40 200 120 对齐:0|分组框模式:0|边框颜色:0|标题颜色:65280|\n"
    u"按钮 按钮1 \"确定\" 260 10 330 30 | 鼠标单击:main.ok|\n"
    u"编辑框 编辑框1 \"初始\" 90 10 250 30 密文:0|文本颜色:255|背景颜色:16711680| 内容改变:main.edit|失去焦点:main.lost|\n"
    u"编辑框 透明框 \"\" 90 130 250 150 | 内容改变:main.clear|\n"
    u"编辑框 密码框 \"secret\" 90 160 250 180 密文:2|\n"
    u"单选框 单选1 \"甲\" 220 40 300 60 是否选中:1| 左键单击:main.radio1|\n"
    u"单选框 单选2 \"乙\" 220 70 300 90 | 左键单击:main.radio2|\n"
    u"复选框 复选框1 \"记住\" 220 100 300 120 是否选中:0| 左键单击:main.check|\n"
    u"浏览框 浏览框1 10 200 250 224 浏览模式:2| 选择改变:main.browse|\n"
    u"浏览框 浏览框2 10 230 250 254 浏览模式:3|\n"
    u"窗口结束\n";

class BasicControls : public ::testing::Test {
 protected:
  void SetUp() override {
    // The first edit box starts with the focus; its loss is no part of the tests.
    SetFocus(host.Control(u"按钮1"));
    host.Pump();
    RecordedEvents().clear();
  }
  FormHost host{kForm};
};

TEST_F(BasicControls, WindowCaptionSizeAndRegistrationOrder) {
  EXPECT_EQ(win32::GetWindowTextString(host.window()), L"基本控件");
  RECT rect;
  GetWindowRect(host.window(), &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right - rect.left, 400);
  EXPECT_EQ(rect.bottom - rect.top, 300);
  EXPECT_EQ(host.dialog().windowProperties().initEvent, u"main.init");
  EXPECT_EQ(host.dialog().windowProperties().destroyEvent, u"main.quit");
  EXPECT_EQ(host.dialog().windowProperties().backgroundColor, 255);

  const char16_t* names[] = {u"标签1", u"分组框1", u"按钮1", u"编辑框1", u"透明框", u"密码框",
                             u"单选1", u"单选2",  u"复选框1", u"浏览框1", u"浏览框2"};
  const ControlTable& table = host.dialog().controls();
  ASSERT_EQ(table.count(), std::size(names));
  for (size_t i = 0; i < std::size(names); ++i) EXPECT_EQ(std::u16string(table.record(i).name), names[i]);
  EXPECT_EQ(table.record(0).kind, ControlKind::Label);
  EXPECT_EQ(table.record(1).kind, ControlKind::GroupBox);
}

TEST_F(BasicControls, StylesIdentifiersAndTexts) {
  struct Row {
    const char16_t* name;
    const wchar_t* windowClass;
    LONG_PTR style;
    LONG_PTR id;
    const wchar_t* text;
  } rows[] = {
      {u"标签1", L"Static", 0x54000100, 0xFFFF, L"用户名:"},
      {u"分组框1", L"QSGroupBox", 0x54000000, 0xFFFF, L"t"},
      {u"按钮1", L"Button", 0x54004300, 0xFFFF, L"确定"},
      {u"编辑框1", L"Edit", 0x54811044, 0x10001, L"初始"},
      {u"单选1", L"Button", 0x54000009, 0xFFFC, L"甲"},
      {u"复选框1", L"Button", 0x54000003, 0xFFFD, L"记住"},
      {u"浏览框1", L"Edit", 0x54800080, 0x9FFCF, L""},
  };
  for (const Row& row : rows) {
    HWND control = host.Control(row.name);
    ASSERT_TRUE(control);
    wchar_t windowClass[64];
    GetClassNameW(control, windowClass, 64);
    EXPECT_STREQ(windowClass, row.windowClass);
    // The platform may add state bits of its own (focus, default button), and
    // an edit control takes WS_BORDER out of its style to paint the border
    // itself; the form's other bits are all there.
    const LONG_PTR expected = wcscmp(windowClass, L"Edit") == 0 ? row.style & ~WS_BORDER : row.style;
    EXPECT_EQ(GetWindowLongPtrW(control, GWL_STYLE) & expected, expected) << win32::ToWide(row.name).c_str();
    EXPECT_EQ(GetWindowLongPtrW(control, GWLP_ID), row.id);
    EXPECT_EQ(win32::GetWindowTextString(control), row.text);
    EXPECT_EQ(GetParent(control), host.window());
  }
}

TEST_F(BasicControls, LabelFontColoursAndAlignment) {
  auto* label = host.As<CQSStatic>(u"标签1");
  ASSERT_TRUE(label);
  EXPECT_TRUE(label->bold());
  EXPECT_TRUE(label->centre());
  EXPECT_EQ(label->TextFormat(), static_cast<UINT>(DT_CENTER | DT_WORDBREAK | DT_NOPREFIX));
  struct Case {
    std::int32_t style;
    bool centre, right;
  } cases[] = {{0x21, true, false}, {0x80, false, true}, {0xA0, true, false}, {0x40, false, false}};
  for (const Case& c : cases) {
    label->SetFont(L"Arial", 12, 0, c.style);
    EXPECT_EQ(label->centre(), c.centre) << c.style;
    EXPECT_EQ(label->right(), c.right) << c.style;
  }
  EXPECT_TRUE(label->bold());  // a clear bit never turns a flag off
}

TEST_F(BasicControls, GroupBoxTitleGeometry) {
  auto* group = host.As<CQSGroupBox>(u"分组框1");
  ASSERT_TRUE(group);
  SIZE text{};
  {
    win32::WindowDc dc(group->hwnd());
    win32::OwnedFont font(CreateFontIndirectW(&group->logFont()));
    win32::SelectObjectScope select(dc.get(), font.get());
    GetTextExtentPoint32W(dc.get(), L"t", 1, &text);
  }
  RECT client;
  GetClientRect(group->hwnd(), &client);
  const LONG L = 1, T = 1, R = client.right - 1;
  struct Case {
    int mode, alignment;
    RECT expected;
  } cases[] = {
      {0, 0, {L + 10, T, L + 10 + text.cx, T + text.cy}},
      {0, 1, {L + (R - L - text.cx) / 2, T, L + (R - L - text.cx) / 2 + text.cx, T + text.cy}},
      {0, 2, {R - 10 - text.cx, T, R - 10, T + text.cy}},
      {1, 0, {L + 2, T + 2, L + 2 + text.cx, T + 2 + text.cy}},
      {1, 2, {R - 2 - text.cx, T + 2, R - 2, T + 2 + text.cy}},
  };
  for (const Case& c : cases) {
    group->SetMode(c.mode).SetAlignment(c.alignment);
    const RECT r = group->TitleRect();
    EXPECT_TRUE(EqualRect(&r, &c.expected)) << c.mode << "/" << c.alignment << ": " << r.left << "," << r.top << ","
                                            << r.right << "," << r.bottom;
  }
  // An empty title shows the window text with a space on each side.
  group->SetTitle(L"");
  group->TitleRect();
  EXPECT_EQ(group->title(), L" t ");
  EXPECT_EQ(group->SetAlignment(7).alignment(), 0);
}

TEST_F(BasicControls, EditColourRequests) {
  auto* edit = host.As<CQSEdit>(u"编辑框1");
  auto* clear = host.As<CQSEdit>(u"透明框");
  ASSERT_TRUE(edit && clear);
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT first = SendMessageW(host.window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(edit->hwnd()));
  EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 255));
  LOGBRUSH brush{};
  ASSERT_TRUE(GetObjectW(reinterpret_cast<HBRUSH>(first), sizeof brush, &brush));
  EXPECT_EQ(brush.lbColor, RGB(0, 0, 255));
  const LRESULT second = SendMessageW(host.window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(edit->hwnd()));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(second), edit->lastBrush());
  // The old brush is deleted: gone, unless the new one took over its handle.
  EXPECT_TRUE(first == second || GetObjectType(reinterpret_cast<HBRUSH>(first)) == 0);

  SetBkMode(dc, OPAQUE);
  const LRESULT hollow = SendMessageW(host.window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(clear->hwnd()));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(hollow), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  DeleteDC(dc);
}

TEST_F(BasicControls, PasswordBoxMasksAndKeepsTheRealText) {
  HWND password = host.Control(u"密码框");
  EXPECT_EQ(SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_EQ(win32::GetWindowTextString(password), L"secret");
  EXPECT_EQ(SendMessageW(host.Control(u"编辑框1"), EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(BasicControls, ClicksRaiseTheirEvents) {
  SendMessageW(host.Control(u"按钮1"), BM_CLICK, 0, 0);
  SendMessageW(host.Control(u"按钮1"), BM_CLICK, 0, 0);
  host.Pump();
  EXPECT_EQ(RecordedEvents(), (Events{L"main.ok", L"main.ok"}));
}

TEST_F(BasicControls, CheckBoxHasToggledBeforeItsEvent) {
  HWND check = host.Control(u"复选框1");
  std::vector<LRESULT> seen;
  SetEventObserver([&](const std::wstring&) { seen.push_back(SendMessageW(check, BM_GETCHECK, 0, 0)); });
  SendMessageW(check, BM_CLICK, 0, 0);
  SendMessageW(check, BM_CLICK, 0, 0);
  host.Pump();
  EXPECT_EQ(RecordedEvents(), (Events{L"main.check", L"main.check"}));
  EXPECT_EQ(seen, (std::vector<LRESULT>{BST_CHECKED, BST_UNCHECKED}));
}

TEST_F(BasicControls, RadioButtonsFormOneGroupAndADoubleClickIsOneClick) {
  HWND first = host.Control(u"单选1"), second = host.Control(u"单选2");
  EXPECT_EQ(SendMessageW(first, BM_GETCHECK, 0, 0), BST_CHECKED);
  const LPARAM at = MAKELPARAM(5, 5);
  // A double click arrives as down, up, double click, up.
  PostMessageW(second, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(second, WM_LBUTTONUP, 0, at);
  PostMessageW(second, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageW(second, WM_LBUTTONUP, 0, at);
  host.Pump(100);
  EXPECT_EQ(RecordedEvents(), (Events{L"main.radio2"}));
  EXPECT_EQ(SendMessageW(second, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(BasicControls, EditChangeAndLostFocus) {
  HWND edit = host.Control(u"编辑框1");
  SetFocus(edit);
  host.Pump();
  PostMessageW(edit, WM_CHAR, L'x', 0);
  host.Pump(50);
  SetFocus(host.Control(u"按钮1"));
  host.Pump(50);
  EXPECT_EQ(RecordedEvents(), (Events{L"main.edit", L"main.lost"}));
  EXPECT_EQ(win32::GetWindowTextString(edit).find(L'x') != std::wstring::npos, true);
}

TEST_F(BasicControls, BrowseBoxRaisesOnEveryTextChange) {
  auto* browse = host.As<CQSBrowse>(u"浏览框1");
  ASSERT_TRUE(browse);
  EXPECT_EQ(browse->browseMode(), 2);
  EXPECT_EQ(host.As<CQSBrowse>(u"浏览框2")->browseMode(), 3);
  SetFocus(browse->hwnd());
  for (wchar_t c : std::wstring(L"C:\\a")) PostMessageW(browse->hwnd(), WM_CHAR, c, 0);
  host.Pump(50);
  EXPECT_EQ(RecordedEvents(), Events(4, L"main.browse"));
  EXPECT_EQ(win32::GetWindowTextString(browse->hwnd()), L"C:\\a");
  // The "..." button sits in the right edge, outside the text area.
  const RECT button = browse->ButtonRect();
  RECT client;
  GetClientRect(browse->hwnd(), &client);
  RECT window;
  GetWindowRect(browse->hwnd(), &window);
  EXPECT_GT(button.right - button.left, 0);
  EXPECT_LT(client.right, window.right - window.left - (button.right - button.left) + 1);
}

// Text typed into an edit box without a background colour and deleted
// again leaves nothing behind: the parent's background (none of its own, a
// colour, an image; the main window or a tab page) shows where it was.
TEST(TransparentEdit, DeletedTextLeavesNothingOnTheScreen) {
  const struct {
    const char* name;
    std::u16string form;
  } cases[] = {
      {"default background", u"w w \"x\" 0 0 300 200 |\n编辑框 e \"\" 20 20 220 50 |\n按钮 b \"b\" 20 100 80 130 |\n"},
      {"a colour", u"w w \"x\" 0 0 300 200 背景颜色:65280|\n编辑框 e \"\" 20 20 220 50 |\n按钮 b \"b\" 20 100 80 130 |\n"},
      {"an image", u"w w \"x\" 0 0 300 200 背景图片:bg.bmp|\n编辑框 e \"\" 20 20 220 50 |\n按钮 b \"b\" 20 100 80 130 |\n"},
      {"a tab page", u"w w \"x\" 0 0 300 200 |\n选项卡 t 5 5 290 190 |\n页面 一\n编辑框 e \"\" 20 20 220 50 |\n"
                     u"按钮 b \"b\" 20 100 80 130 |\n选项卡页面结束\n选项卡结束\n"},
  };
  for (const auto& c : cases) {
    FormHost host(c.form + u"窗口结束\n", {{L"bg.bmp", PatternBmp(300, 200)}});
    HWND edit = host.Control(u"e");
    ASSERT_TRUE(edit) << c.name;
    SetFocus(host.Control(u"b"));  // no caret in the pictures
    auto type = [&](const wchar_t* keys) {
      for (const wchar_t* k = keys; *k; ++k) SendMessageW(edit, WM_CHAR, *k, 1);
    };
    type(L"ab");
    const driver::Image typed = ClientPixels(host, edit);
    type(L"cd\b\b");
    EXPECT_EQ(win32::GetWindowTextString(edit), L"ab") << c.name;
    const driver::Image deleted = ClientPixels(host, edit);
    ASSERT_EQ(typed.pixels.size(), deleted.pixels.size()) << c.name;
    size_t differing = 0;
    for (size_t i = 0; i < typed.pixels.size(); ++i) differing += typed.pixels[i] != deleted.pixels[i];
    EXPECT_EQ(differing, 0u) << c.name << ": pixels of the deleted characters are left";
    // And the text is there to see.
    size_t distinct = 0;
    for (std::uint32_t p : typed.pixels) distinct += p != typed.pixels[0];
    EXPECT_GT(distinct, 0u) << c.name;
  }
}

TEST(LoaderEdges, EmptyAndBrokenForms) {
  {
    FormHost host(u"w w \"only\" 10 20 410 320 |\n窗口结束\n");
    EXPECT_EQ(host.dialog().controls().count(), 0u);
    EXPECT_EQ(win32::GetWindowTextString(host.window()), L"only");
  }
  {
    // Misspelt kind word and unknown keys: skipped; the next line is read.
    FormHost host(u"w w \"x\" 0 0 300 200 背景颜色:-1|背景图片:missing.png|\n按扭 b \"x\" 1 1 9 9 |\n"
                  u"按钮 ok \"ok\" 1 1 50 20 颜色:5| 鼠标单击:a.b|\n");
    EXPECT_EQ(host.dialog().controls().count(), 1u);
    EXPECT_EQ(host.dialog().windowProperties().backgroundColor, -1);
    EXPECT_EQ(host.dialog().windowProperties().backgroundImage, u"");
  }
  {
    // A form that is not readable leaves the template window.
    FormHost host(u"");
    EXPECT_EQ(win32::GetWindowTextString(host.window()), L"QSExe");
  }
}

}  // namespace
}  // namespace qs::test
