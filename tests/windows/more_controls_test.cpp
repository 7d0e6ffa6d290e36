// Lists, drop-downs, pictures, progress bars, sliders, date boxes, tab
// controls with pages, clocks and hot keys: what the loader creates and the
// events and their order.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls/qs_list_box.h"
#include "controls/qs_picture.h"
#include "controls/qs_tab.h"
#include "controls/qs_timer.h"
#include "controls/qs_value_controls.h"
#include "host/work_directory.h"
#include "tests/windows/form_host.h"
#include "tools/driver/driver.h"
#include "win32/text.h"

namespace qs::test {
namespace {

using Events = std::vector<std::wstring>;

const char16_t kForm[] =
    u"窗口 主窗口 \"更多控件\" 0 0 640 480 |\n"
    u"列表框 列表框1 \"城市\" \"北京|上海|广州|\" 10 10 150 120 | 选择改变:main.list|\n"
    u"下拉框 下拉框1 \"甲|乙|丙|\" 160 10 300 150 | 左键单击:main.drop|选择改变:main.pick|\n"
    u"进度条 进度条1 160 40 300 60 |\n"
    u"滑块 滑块1 160 70 300 100 | 位置改变:main.slide|\n"
    u"日期框 日期框1 160 110 300 130 |\n"
    u"图片框 图片框1 10 130 60 180 图片名称:big.bmp|\n"
    u"时钟 时钟1 0 0 1 1 频率:50| 时钟:main.tick|\n"
    u"时钟 时钟2 0 0 1 1 频率:0| 时钟:main.tock|\n"
    u"热键 热键1 320 10 460 30 虚拟键值:123|模态值:2| 热键:main.hot|失去焦点:main.hotlost|\n"
    u"选项卡 选项卡1 320 40 620 300 页数:3| 选择改变:main.tab|\n"
    u"页面 第一页\n"
    u"单选框 页单选 \"页\" 10 10 80 30 是否选中:1|\n"
    u"时钟 页时钟 0 0 1 1 频率:10|\n"
    u"选项卡页面结束\n"
    u"页面 第二页\n"
    u"选项卡页面结束\n"
    u"页面 第三页\n"
    u"按钮 页按钮 \"按\" 10 10 80 30 | 鼠标单击:main.pagebutton|\n"
    u"选项卡页面结束\n"
    u"选项卡结束\n"
    u"选项卡 空选项卡 320 310 620 400 |\n"
    u"选项卡结束\n"
    u"单选框 主单选 \"主\" 10 200 80 220 是否选中:1|\n"
    u"窗口结束\n";

// The events other than the running clock's ticks.
Events Untimed() {
  Events events;
  for (const std::wstring& e : RecordedEvents())
    if (e != L"main.tick") events.push_back(e);
  return events;
}

class MoreControls : public ::testing::Test {
 protected:
  void SetUp() override {
    host.Pump();
    RecordedEvents().clear();
  }
  FormHost host{kForm, {{L"big.bmp", SolidBmp(200, 150, RGB(255, 0, 0))}, {L"blue.bmp", SolidBmp(20, 20, RGB(0, 0, 255))}}};
};

TEST_F(MoreControls, RegisteredInFileOrderTabBeforeItsPages) {
  const ControlTable& table = host.dialog().controls();
  const char16_t* names[] = {u"列表框1", u"下拉框1", u"进度条1", u"滑块1",   u"日期框1", u"图片框1", u"时钟1",
                             u"时钟2",   u"热键1",   u"选项卡1", u"页单选", u"页按钮", u"空选项卡", u"主单选"};
  ASSERT_EQ(table.count(), std::size(names));  // the clock on page one is not created
  for (size_t i = 0; i < std::size(names); ++i) EXPECT_EQ(std::u16string(table.record(i).name), names[i]);
  struct Row {
    const char16_t* name;
    const wchar_t* windowClass;
    LONG_PTR id;
  } rows[] = {{u"列表框1", L"QSListBox", 0xFFFF}, {u"下拉框1", L"ComboBox", 0xFFFF}, {u"进度条1", L"msctls_progress32", 0x10001},
              {u"滑块1", L"msctls_trackbar32", 0x10003}, {u"日期框1", L"SysDateTimePick32", 0xFFFF},
              {u"图片框1", L"Static", 0xFFFF}, {u"时钟1", L"Static", 0xFFFF}, {u"热键1", L"msctls_hotkey32", 0xFFFF},
              {u"选项卡1", L"SysTabControl32", 0xFFFF}};
  for (const Row& row : rows) {
    wchar_t windowClass[64];
    GetClassNameW(host.Control(row.name), windowClass, 64);
    EXPECT_STREQ(windowClass, row.windowClass);
    EXPECT_EQ(GetWindowLongPtrW(host.Control(row.name), GWLP_ID), row.id);
  }
  EXPECT_EQ(win32::GetWindowTextString(host.Control(u"列表框1")), L"城市");
  EXPECT_EQ(win32::GetWindowTextString(host.Control(u"图片框1")), L"图片框");
  EXPECT_EQ(win32::GetWindowTextString(host.Control(u"时钟1")), L"时钟");
  EXPECT_EQ(SendMessageW(host.Control(u"进度条1"), PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(SendMessageW(host.Control(u"滑块1"), TBM_GETRANGEMAX, 0, 0), 100);
}

TEST_F(MoreControls, ListBoxItemsAndSelectionEvents) {
  auto* list = host.As<CQSListBox>(u"列表框1");
  ASSERT_TRUE(list);
  ASSERT_EQ(list->GetCount(), 3);
  EXPECT_EQ(list->GetItemText(1), L"上海");
  EXPECT_EQ(list->GetItemText(3), L"");
  EXPECT_EQ(list->GetSelItem(), -1);
  EXPECT_EQ(list->AddItem(L"深圳"), 3);
  EXPECT_TRUE(list->RemoveItem(0));
  EXPECT_EQ(list->GetItemText(0), L"上海");
  // Selecting one item, then another: gain; then lose and gain.
  ListView_SetItemState(list->list(), 0, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list->list(), 2, LVIS_SELECTED, LVIS_SELECTED);
  host.Pump();
  EXPECT_EQ(Untimed(), Events(3, L"main.list"));
  EXPECT_EQ(list->GetSelItem(), 2);
  EXPECT_FALSE(list->EditItem(0));
  EXPECT_FALSE(GetWindowLongPtrW(list->list(), GWL_STYLE) & LVS_EDITLABELS);
}

TEST_F(MoreControls, DropDownRaisesOnEveryDropAndOnUserSelection) {
  HWND combo = host.Control(u"下拉框1");
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  for (int i = 0; i < 2; ++i) {
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  }
  SendMessageW(combo, CB_SETCURSEL, 1, 0);  // by program: no event
  host.Pump();
  EXPECT_EQ(Untimed(), (Events{L"main.drop", L"main.drop"}));
  // A user's choice: keyboard selection in the closed box.
  SetFocus(combo);
  PostMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
  host.Pump(50);
  EXPECT_EQ(Untimed().back(), L"main.pick");
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
}

TEST_F(MoreControls, SliderEventsComeBeforeAKeyAndAfterARelease) {
  HWND slider = host.Control(u"滑块1");
  std::vector<LRESULT> positions;
  SetEventObserver([&](const std::wstring& event) {
    if (event == L"main.slide") positions.push_back(SendMessageW(slider, TBM_GETPOS, 0, 0));
  });
  SetFocus(slider);
  PostMessageW(slider, WM_KEYDOWN, VK_RIGHT, 0);
  PostMessageW(slider, WM_KEYDOWN, VK_HOME, 0);  // other keys raise nothing
  host.Pump(50);
  ASSERT_EQ(Untimed(), (Events{L"main.slide"}));
  EXPECT_EQ(positions[0], 0);  // read inside the event: before the key moved it
  EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 0);  // Home went back to 0
  // A click in the channel: the release after the move raises it.
  RECT channel;
  SendMessageW(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  const LPARAM at = MAKELPARAM(channel.right - 5, (channel.top + channel.bottom) / 2);
  PostMessageW(slider, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(slider, WM_LBUTTONUP, 0, at);
  host.Pump(100);
  ASSERT_EQ(Untimed(), (Events{L"main.slide", L"main.slide"}));
  EXPECT_GT(positions[1], 0);
}

TEST_F(MoreControls, TabBlockShowsTheLastPageAndSwitchesByUser) {
  auto* tab = host.As<CQSTab>(u"选项卡1");
  ASSERT_TRUE(tab);
  ASSERT_EQ(tab->PageCount(), 3);
  EXPECT_EQ(SendMessageW(tab->hwnd(), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_FALSE(IsWindowVisible(tab->Page(0)->hwnd()));
  EXPECT_FALSE(IsWindowVisible(tab->Page(1)->hwnd()));
  EXPECT_TRUE(IsWindowVisible(tab->Page(2)->hwnd()));
  EXPECT_EQ(GetParent(host.Control(u"页按钮")), tab->Page(2)->hwnd());
  EXPECT_EQ(SendMessageW(host.As<CQSTab>(u"空选项卡")->hwnd(), TCM_GETCURSEL, 0, 0), -1);

  // Pages are fitted to the display area, also after a resize.
  RECT area, page;
  GetClientRect(tab->hwnd(), &area);
  SendMessageW(tab->hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  GetWindowRect(tab->Page(0)->hwnd(), &page);
  EXPECT_EQ(page.right - page.left, area.right - area.left);
  SetWindowPos(tab->hwnd(), nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(tab->hwnd(), &area);
  SendMessageW(tab->hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (int i = 0; i < 3; ++i) {
    GetWindowRect(tab->Page(i)->hwnd(), &page);
    EXPECT_EQ(page.bottom - page.top, area.bottom - area.top) << i;
  }

  // The user clicks the first tab: pages switched first, then the event.
  bool firstShownAtEvent = false;
  SetEventObserver([&](const std::wstring& event) {
    if (event == L"main.tab") firstShownAtEvent = IsWindowVisible(tab->Page(0)->hwnd()) != FALSE;
  });
  RECT item;
  SendMessageW(tab->hwnd(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  PostMessageW(tab->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(tab->hwnd(), WM_LBUTTONUP, 0, at);
  host.Pump(100);
  EXPECT_EQ(Untimed(), (Events{L"main.tab"}));
  EXPECT_TRUE(firstShownAtEvent);
  EXPECT_FALSE(IsWindowVisible(tab->Page(2)->hwnd()));

  // A page's radio buttons form their own group.
  SendMessageW(host.Control(u"页单选"), BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(host.Control(u"主单选"), BM_GETCHECK, 0, 0), BST_CHECKED);
  // Notifications of controls on a page reach their objects.
  RecordedEvents().clear();
  SendMessageW(host.Control(u"页按钮"), BM_CLICK, 0, 0);
  EXPECT_EQ(Untimed(), (Events{L"main.pagebutton"}));

  // Selection by program: the page shown, no event; an index at the count hides every page.
  tab->SelectPage(1);
  EXPECT_TRUE(IsWindowVisible(tab->Page(1)->hwnd()));
  tab->SelectPage(3);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsWindowVisible(tab->Page(i)->hwnd()));
  EXPECT_EQ(Untimed(), (Events{L"main.pagebutton"}));
}

TEST_F(MoreControls, ClocksTickEventsAndTheIntervalChanges) {
  auto* fast = host.As<CQSTimer>(u"时钟1");
  auto* stopped = host.As<CQSTimer>(u"时钟2");
  ASSERT_TRUE(fast && stopped);
  EXPECT_EQ(fast->interval(), 50u);
  EXPECT_EQ(stopped->timerId(), 0u);
  host.Pump(1000);
  const auto ticks = [](const wchar_t* event) {
    return std::count(RecordedEvents().begin(), RecordedEvents().end(), std::wstring(event));
  };
  const auto fastTicks = ticks(L"main.tick");
  EXPECT_GE(fastTicks, 8);  // about 20 at 50 ms; timers never run early but may run late
  EXPECT_LE(fastTicks, 21);
  EXPECT_EQ(ticks(L"main.tock"), 0);
  fast->Start(500);  // restarts: same window, same identifier
  RecordedEvents().clear();
  host.Pump(1100);
  EXPECT_GE(ticks(L"main.tick"), 1);
  EXPECT_LE(ticks(L"main.tick"), 2);
  fast->Stop();
  RecordedEvents().clear();
  host.Pump(600);
  EXPECT_EQ(ticks(L"main.tick"), 0);
}

TEST_F(MoreControls, HotKeyShowsRegistersAndRaises) {
  auto* hotKey = host.As<CQSHotKeyCtrl>(u"热键1");
  ASSERT_TRUE(hotKey);
  EXPECT_EQ(SendMessageW(hotKey->hwnd(), HKM_GETHOTKEY, 0, 0), MAKEWORD(VK_F12, HOTKEYF_CONTROL));
  EXPECT_NE(hotKey->HotKeyName().find(L" + "), std::wstring::npos);
  // The combination shown is the one registered: Ctrl + F12.
  driver::KeyDown(VK_CONTROL);
  driver::PressKey(VK_F12);
  driver::KeyUp(VK_CONTROL);
  EXPECT_TRUE(host.PumpUntil([] { return !Untimed().empty(); }, 2000));
  EXPECT_EQ(Untimed(), (Events{L"main.hot"}));
  EXPECT_TRUE(hotKey->Unregister());
  EXPECT_FALSE(hotKey->Unregister());
  EXPECT_TRUE(hotKey->Register());
  // Losing the focus raises its event after the control has handled it.
  SetFocus(hotKey->hwnd());
  host.Pump();
  RecordedEvents().clear();
  SetFocus(host.window());
  host.Pump();
  EXPECT_EQ(Untimed(), (Events{L"main.hotlost"}));
  EXPECT_EQ(HotKeyFieldToRegistration(HOTKEYF_SHIFT | HOTKEYF_ALT | HOTKEYF_EXT), static_cast<UINT>(MOD_SHIFT | MOD_ALT));
}

TEST_F(MoreControls, PictureKeepsItsRectangleAndAFailedLoadKeepsThePicture) {
  auto* picture = host.As<CQSPicture>(u"图片框1");
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->pictureName(), u"big.bmp");
  RECT rect;
  GetWindowRect(picture->hwnd(), &rect);
  EXPECT_EQ(rect.right - rect.left, 50);  // a 200 x 150 image in a 50 x 50 box: clipped
  EXPECT_EQ(rect.bottom - rect.top, 50);
  HBITMAP red = picture->image();
  ASSERT_TRUE(red);
  picture->ShowPictureFile(WorkDirectory() + L"\\missing.png");
  EXPECT_EQ(picture->image(), red);
  WriteFileBytes(WorkFilePath(L"broken.png"), "not an image");
  picture->ShowPictureFile(WorkFilePath(L"broken.png"));
  EXPECT_EQ(picture->image(), red);
  picture->ShowPictureFile(WorkFilePath(L"blue.bmp"));
  EXPECT_NE(picture->image(), red);
  EXPECT_EQ(picture->pictureName(), u"big.bmp");  // only the form's picture sets the name
  GetWindowRect(picture->hwnd(), &rect);
  EXPECT_EQ(rect.right - rect.left, 50);
}

std::uint32_t Rgb(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

// A picture shows at its own size from the control's top-left corner, cut
// by the control: a small image stays small (the window's background
// around it), a large one shows its top-left part.
TEST(Pictures, ShowAtTheirOwnSizeClippedByTheControl) {
  FormHost host(u"w w \"x\" 0 0 500 300 背景颜色:65280|\n"
                u"图片框 小 10 10 210 210 图片名称:small.bmp|\n"
                u"图片框 大 220 10 320 110 图片名称:big.bmp|\n"
                u"图片框 消息 330 10 430 110 |\n窗口结束\n",
                {{L"small.bmp", PatternBmp(40, 40)}, {L"big.bmp", PatternBmp(1000, 1000)}});
  host.As<CQSPicture>(u"消息")->ShowPictureFile(WorkFilePath(L"small.bmp"));  // message 1555's way
  for (const char16_t* name : {u"小", u"大", u"消息"}) {
    HWND picture = host.Control(name);
    ASSERT_TRUE(picture);
    const int side = std::u16string(name) == u"大" ? 1000 : 40;
    const driver::Image shown = ClientPixels(host, picture);
    ASSERT_GT(shown.width, 0);
    size_t wrong = 0;
    for (int y = 0; y < shown.height; ++y)
      for (int x = 0; x < shown.width; ++x) {
        const std::uint32_t expected = x < side && y < side ? Rgb(PatternColor(x, y)) : Rgb(RGB(0, 255, 0));
        wrong += shown.at(x, y) != expected;
      }
    EXPECT_EQ(wrong, 0u) << "pixels off in a " << shown.width << " x " << shown.height
                         << " picture box";
    RECT rect;
    GetWindowRect(picture, &rect);
    EXPECT_EQ(rect.right - rect.left, std::u16string(name) == u"小" ? 200 : 100);
  }
}

// 1540 with an index outside the items clears the selection with -1, as
// -1 itself does.
TEST_F(MoreControls, DropDownIndexOutOfRangeClearsTheSelection) {
  HWND combo = host.Control(u"下拉框1");
  static std::vector<WPARAM> selections;
  static WNDPROC original = nullptr;
  selections.clear();
  original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == CB_SETCURSEL) selections.push_back(wp);
        return CallWindowProcW(original, w, m, wp, lp);
      })));
  for (LPARAM index : {1, 3, 7, -5, 2, -1}) SendMessageW(host.window(), 1540, reinterpret_cast<WPARAM>(u"下拉框1"), index);
  SetWindowLongPtrW(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  const WPARAM none = static_cast<WPARAM>(-1);
  EXPECT_EQ(selections, (std::vector<WPARAM>{1, none, none, none, 2, none}));
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), -1);
}

TEST(TabPages, MoreThan32PagesAreRefused) {
  std::u16string form = u"w w \"x\" 0 0 600 400 |\n选项卡 t 0 0 590 390 |\n";
  for (int i = 0; i < 34; ++i) form += u"p p\n选项卡页面结束\n";
  form += u"选项卡结束\n窗口结束\n";
  FormHost host(form);
  EXPECT_EQ(host.As<CQSTab>(u"t")->PageCount(), 32);
  EXPECT_EQ(SendMessageW(host.Control(u"t"), TCM_GETCURSEL, 0, 0), 31);
}

}  // namespace
}  // namespace qs::test
