#include "messages/control_messages.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "controls/qs_browse.h"
#include "controls/qs_group_box.h"
#include "controls/qs_list_box.h"
#include "controls/qs_picture.h"
#include "controls/qs_tab.h"
#include "controls/qs_timer.h"
#include "controls/redraw.h"
#include "host/error_box.h"
#include "host/main_dialog.h"
#include "messages/date_messages.h"
#include "messages/message_records.h"
#include "win32/text.h"

namespace qs {

namespace {

// Copies at most `units - 1` characters and a terminator.
void CopyBounded(wchar_t* buffer, const wchar_t* text, int units) { lstrcpynW(buffer, text, units); }

wchar_t* Buffer(LPARAM lParam) { return reinterpret_cast<wchar_t*>(lParam); }
// A text argument; a null pointer is the empty text.
const wchar_t* Text(LPARAM lParam) { return lParam ? reinterpret_cast<const wchar_t*>(lParam) : L""; }
template <class T>
T* As(const MessageTarget& t) {
  return static_cast<T*>(t.object);
}

// ---- operations -----------------------------------------------------------

LRESULT SetText(const MessageTarget& t, WPARAM, LPARAM lParam) {
  SetWindowTextW(t.hwnd, Text(lParam));
  return 1;
}

LRESULT SetLabelText(const MessageTarget& t, WPARAM, LPARAM lParam) {
  SetWindowTextW(t.hwnd, Text(lParam));
  RedrawInParent(t.hwnd);
  return 1;
}

LRESULT ReadText(const MessageTarget& t, WPARAM, LPARAM lParam) {
  GetWindowTextW(t.hwnd, Buffer(lParam), kTextUnits);
  return 1;
}

// The whole text in the sender's buffer, bounded like the window-text reads.
LRESULT ReadWholeText(const MessageTarget& t, WPARAM, LPARAM lParam) {
  CopyBounded(Buffer(lParam), win32::GetWindowTextString(t.hwnd).c_str(), kTextUnits);
  return 1;
}

// Sets only the button named: an automatic radio button may clear the rest
// of its group when it is checked (Wine's do), so for the moment of the
// change it is a plain radio button.
LRESULT SetState(const MessageTarget& t, WPARAM, LPARAM lParam) {
  const LONG_PTR style = GetWindowLongPtrW(t.hwnd, GWL_STYLE);
  const bool autoRadio = (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
  if (autoRadio) SendMessageW(t.hwnd, BM_SETSTYLE, (style & ~BS_TYPEMASK) | BS_RADIOBUTTON, FALSE);
  SendMessageW(t.hwnd, BM_SETCHECK, lParam != 0 ? 1 : 0, 0);
  if (autoRadio) SendMessageW(t.hwnd, BM_SETSTYLE, style & 0xFFFF, FALSE);
  return 1;
}

LRESULT GetState(const MessageTarget& t, WPARAM, LPARAM) { return SendMessageW(t.hwnd, BM_GETCHECK, 0, 0); }

LRESULT ComboGetSelection(const MessageTarget& t, WPARAM, LPARAM) { return SendMessageW(t.hwnd, CB_GETCURSEL, 0, 0); }

// An index outside the items clears the selection, as -1 does (the
// platform may otherwise keep the old one).
LRESULT ComboSetSelection(const MessageTarget& t, WPARAM, LPARAM lParam) {
  const LRESULT count = SendMessageW(t.hwnd, CB_GETCOUNT, 0, 0);
  const LPARAM index = lParam >= 0 && lParam < count ? lParam : -1;
  SendMessageW(t.hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  return 1;
}

LRESULT ComboCount(const MessageTarget& t, WPARAM, LPARAM) { return SendMessageW(t.hwnd, CB_GETCOUNT, 0, 0); }

LRESULT ComboItemText(const MessageTarget& t, WPARAM wParam, LPARAM lParam) {
  const int index = reinterpret_cast<const ItemRequest*>(wParam)->index;
  const LRESULT length = SendMessageW(t.hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return 1;  // a bad index leaves the buffer untouched
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  if (SendMessageW(t.hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())) != CB_ERR)
    CopyBounded(Buffer(lParam), text.c_str(), kTextUnits);
  return 1;
}

LRESULT ComboReset(const MessageTarget& t, WPARAM, LPARAM) {
  SendMessageW(t.hwnd, CB_RESETCONTENT, 0, 0);
  return 1;
}

LRESULT ComboDelete(const MessageTarget& t, WPARAM, LPARAM lParam) {
  SendMessageW(t.hwnd, CB_DELETESTRING, static_cast<WPARAM>(lParam), 0);
  return 1;
}

LRESULT ComboAdd(const MessageTarget& t, WPARAM, LPARAM lParam) {
  SendMessageW(t.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(lParam)));
  return 1;
}

LRESULT GroupSetTitle(const MessageTarget& t, WPARAM, LPARAM lParam) {
  As<CQSGroupBox>(t)->SetTitle(Text(lParam));
  return 1;
}

LRESULT GroupReadTitle(const MessageTarget& t, WPARAM, LPARAM lParam) {
  CopyBounded(Buffer(lParam), As<CQSGroupBox>(t)->title().c_str(), kTextUnits);
  return 1;
}

LRESULT ListCount(const MessageTarget& t, WPARAM, LPARAM) { return As<CQSListBox>(t)->GetCount(); }

LRESULT ListItemText(const MessageTarget& t, WPARAM wParam, LPARAM lParam) {
  const int index = reinterpret_cast<const ItemRequest*>(wParam)->index;
  CopyBounded(Buffer(lParam), As<CQSListBox>(t)->GetItemText(index).c_str(), kTextUnits);
  return 1;
}

LRESULT ListAdd(const MessageTarget& t, WPARAM, LPARAM lParam) {
  As<CQSListBox>(t)->AddItem(Text(lParam), 0, -1);
  return 1;
}

LRESULT ListSelection(const MessageTarget& t, WPARAM, LPARAM) { return As<CQSListBox>(t)->GetSelItem(); }

LRESULT ListSelectedText(const MessageTarget& t, WPARAM, LPARAM lParam) {
  CQSListBox* list = As<CQSListBox>(t);
  const int selected = list->GetSelItem();
  if (selected >= 0) CopyBounded(Buffer(lParam), list->GetItemText(selected).c_str(), kTextUnits);
  return 1;
}

LRESULT ListClear(const MessageTarget& t, WPARAM, LPARAM) {
  CQSListBox* list = As<CQSListBox>(t);
  for (int count = list->GetCount(); count > 0; --count) list->RemoveItem(0);
  return 1;
}

LRESULT ListRemove(const MessageTarget& t, WPARAM, LPARAM lParam) {
  As<CQSListBox>(t)->RemoveItem(static_cast<int>(lParam));
  return 1;
}

LRESULT DateSet(const MessageTarget& t, WPARAM, LPARAM lParam) { return SetDateFromText(t.hwnd, Text(lParam)); }

LRESULT DateRead(const MessageTarget& t, WPARAM, LPARAM lParam) {
  std::wstring text;
  if (!ReadDateText(t.hwnd, &text)) return 0;
  CopyBounded(Buffer(lParam), text.c_str(), kDateUnits);
  return 1;
}

LRESULT PictureShow(const MessageTarget& t, WPARAM, LPARAM lParam) {
  As<CQSPicture>(t)->ShowPictureFile(Text(lParam));
  return 1;
}

LRESULT ProgressSet(const MessageTarget& t, WPARAM, LPARAM lParam) {
  return SendMessageW(t.hwnd, PBM_SETPOS, static_cast<WPARAM>(lParam), 0);
}

LRESULT ProgressGet(const MessageTarget& t, WPARAM, LPARAM) { return SendMessageW(t.hwnd, PBM_GETPOS, 0, 0); }

LRESULT TabSelect(const MessageTarget& t, WPARAM, LPARAM lParam) {
  As<CQSTab>(t)->SelectPage(static_cast<int>(lParam));
  return 1;
}

LRESULT TabCurrent(const MessageTarget& t, WPARAM, LPARAM) { return SendMessageW(t.hwnd, TCM_GETCURSEL, 0, 0); }
LRESULT TabCount(const MessageTarget& t, WPARAM, LPARAM) { return SendMessageW(t.hwnd, TCM_GETITEMCOUNT, 0, 0); }

LRESULT ClockStart(const MessageTarget& t, WPARAM, LPARAM lParam) {
  As<CQSTimer>(t)->Start(static_cast<UINT>(lParam));
  return 1;
}

LRESULT ClockStop(const MessageTarget& t, WPARAM, LPARAM) {
  As<CQSTimer>(t)->Stop();
  return 1;
}

LRESULT Enable(const MessageTarget& t, WPARAM, LPARAM lParam) {
  EnableWindow(t.hwnd, lParam != 0);
  return 1;
}

LRESULT Show(const MessageTarget& t, WPARAM, LPARAM lParam) {
  ShowWindow(t.hwnd, static_cast<int>(lParam));
  return 1;
}

LRESULT HotKeyRegister(const MessageTarget& t, WPARAM, LPARAM) { return As<CQSHotKeyCtrl>(t)->Register(); }
LRESULT HotKeyUnregister(const MessageTarget& t, WPARAM, LPARAM) { return As<CQSHotKeyCtrl>(t)->Unregister(); }

LRESULT HotKeyName(const MessageTarget& t, WPARAM, LPARAM lParam) {
  CopyBounded(Buffer(lParam), As<CQSHotKeyCtrl>(t)->HotKeyName().c_str(), kTextUnits);
  return 1;
}

LRESULT SliderSet(const MessageTarget& t, WPARAM, LPARAM lParam) {
  SendMessageW(t.hwnd, TBM_SETPOS, TRUE, lParam);
  return 1;
}

LRESULT SliderGet(const MessageTarget& t, WPARAM, LPARAM) { return SendMessageW(t.hwnd, TBM_GETPOS, 0, 0); }

LRESULT Place(const MessageTarget& t, WPARAM, LPARAM lParam) {
  const auto* place = reinterpret_cast<const PlacementRequest*>(lParam);
  const UINT flag = place->mode == 1 ? SWP_NOSIZE : place->mode == 2 ? SWP_NOMOVE : 0;
  SetWindowPos(t.hwnd, nullptr, place->x, place->y, place->width, place->height, flag | SWP_NOZORDER);
  return 1;
}

// ---- the table ----------------------------------------------------------------

using K = ControlKind;
constexpr auto kAny = std::nullopt;
constexpr auto W = NameSource::WParam;
constexpr auto I = NameSource::ItemRequest;
constexpr bool kPtr = true, kValue = false;

const wchar_t kLabel[] = L"不正确的标签控件名";
const wchar_t kEdit[] = L"不正确的编辑框控件名";
const wchar_t kRadio[] = L"不正确的单选框控件名";
const wchar_t kCheck[] = L"不正确的复选框控件名";
const wchar_t kBrowse[] = L"不正确的浏览框控件名";
const wchar_t kControl[] = L"不正确的控件名";
const wchar_t kGroup[] = L"不正确的分组框控件名";
const wchar_t kList[] = L"不正确的列表框控件名";
const wchar_t kDate[] = L"不正确的日期控件名";
const wchar_t kPicture[] = L"不正确的图片控件名";
const wchar_t kProgress[] = L"不正确的进度条控件名";
const wchar_t kButton[] = L"不正确的按钮控件名";
const wchar_t kTab[] = L"不正确的选项卡控件名";
const wchar_t kClock[] = L"不正确的时间控件名";
const wchar_t kDropDown[] = L"不正确的下拉框控件名";
const wchar_t kHotKey[] = L"不正确的热键控件名";
const wchar_t kSlider[] = L"不正确的滑块控件名";

// Sorted by number. `needsLParam` marks the buffers and records in lParam.
constexpr ControlMessage kControlMessages[] = {
    {1525, "label.setText", kAny, kLabel, 0, W, kValue, SetLabelText},
    {1526, "label.getText", kAny, kLabel, 0, W, kPtr, ReadText},
    {1527, "edit.setText", kAny, kEdit, 0, W, kValue, SetText},
    {1528, "edit.getText", kAny, kEdit, 0, W, kPtr, ReadText},
    {1529, "radio.setText", kAny, kRadio, 0, W, kValue, SetText},
    {1530, "radio.getText", kAny, kRadio, 0, W, kPtr, ReadText},
    {1531, "radio.setState", kAny, kRadio, 0, W, kValue, SetState},
    {1532, "radio.getState", kAny, kRadio, 0, W, kValue, GetState},
    {1533, "check.setText", kAny, kCheck, 0, W, kValue, SetText},
    {1534, "check.getText", kAny, kCheck, 0, W, kPtr, ReadText},
    {1535, "check.setState", kAny, kCheck, 0, W, kValue, SetState},
    {1536, "check.getState", kAny, kCheck, 0, W, kValue, GetState},
    {1537, "browse.getText", kAny, kBrowse, 0, W, kPtr, ReadWholeText},
    {1538, "browse.setText", kAny, kBrowse, 0, W, kValue, SetText},
    {1539, "dropDown.getSelection", kAny, kControl, -1, W, kValue, ComboGetSelection},
    {1540, "dropDown.setSelection", kAny, kControl, 0, W, kValue, ComboSetSelection},
    {1541, "dropDown.count", kAny, kControl, -1, W, kValue, ComboCount},
    {1542, "dropDown.itemText", kAny, kControl, 0, I, kPtr, ComboItemText},
    {1543, "groupBox.setTitle", K::GroupBox, kGroup, 0, W, kValue, GroupSetTitle},
    {1544, "groupBox.getTitle", K::GroupBox, kGroup, 0, W, kPtr, GroupReadTitle},
    {1545, "listBox.count", K::ListBox, kList, -1, W, kValue, ListCount},
    {1546, "listBox.itemText", K::ListBox, kList, 0, I, kPtr, ListItemText},
    {1548, "listBox.add", K::ListBox, kList, 0, W, kValue, ListAdd},
    {1549, "listBox.getSelection", K::ListBox, kList, -1, W, kValue, ListSelection},
    {1550, "listBox.selectedText", K::ListBox, kList, 0, W, kPtr, ListSelectedText},
    {1553, "date.set", K::DateBox, kDate, 0, W, kValue, DateSet},
    {1554, "date.get", K::DateBox, kDate, 0, W, kPtr, DateRead},
    {1555, "picture.show", K::PictureBox, kPicture, 0, W, kValue, PictureShow},
    {1557, "progress.set", kAny, kProgress, -1, W, kValue, ProgressSet},
    {1558, "progress.get", kAny, kProgress, -1, W, kValue, ProgressGet},
    {1559, "button.setText", kAny, kButton, 0, W, kValue, SetText},
    {1560, "button.getText", kAny, kButton, 0, W, kPtr, ReadText},
    {1564, "tab.select", K::TabControl, kTab, 0, W, kValue, TabSelect},
    {1565, "clock.start", K::Clock, kClock, 0, W, kValue, ClockStart},
    {1566, "clock.stop", K::Clock, kClock, 0, W, kValue, ClockStop},
    {1567, "control.enable", kAny, kControl, 0, W, kValue, Enable},
    {1568, "control.show", kAny, kControl, 0, W, kValue, Show},
    {1569, "dropDown.clear", kAny, kDropDown, 0, W, kValue, ComboReset},
    {1570, "listBox.clear", K::ListBox, kList, 0, W, kValue, ListClear},
    {1571, "hotKey.register", K::HotKey, kHotKey, 0, W, kValue, HotKeyRegister},
    {1572, "hotKey.unregister", K::HotKey, kHotKey, 0, W, kValue, HotKeyUnregister},
    {1574, "hotKey.name", K::HotKey, kHotKey, 0, W, kPtr, HotKeyName},
    {1575, "slider.set", kAny, kSlider, 0, W, kValue, SliderSet},
    {1576, "slider.get", kAny, kSlider, -1, W, kValue, SliderGet},
    {1577, "dropDown.delete", kAny, kDropDown, 0, W, kValue, ComboDelete},
    {1578, "dropDown.add", kAny, kDropDown, 0, W, kValue, ComboAdd},
    {1579, "listBox.remove", K::ListBox, kList, 0, W, kValue, ListRemove},
    {1580, "tab.current", kAny, kTab, -1, W, kValue, TabCurrent},
    {1581, "tab.count", kAny, kTab, -1, W, kValue, TabCount},
    {1582, "control.place", kAny, kControl, 0, W, kPtr, Place},
};
// The lookup is a binary search.
static_assert(std::is_sorted(std::begin(kControlMessages), std::end(kControlMessages),
                             [](const ControlMessage& a, const ControlMessage& b) { return a.number < b.number; }));

}  // namespace

std::span<const ControlMessage> ControlMessages() { return kControlMessages; }

const ControlMessage* FindControlMessage(UINT number) {
  const auto* end = std::end(kControlMessages);
  const auto* row = std::lower_bound(std::begin(kControlMessages), end, number,
                                     [](const ControlMessage& m, UINT n) { return m.number < n; });
  return row != end && row->number == number ? row : nullptr;
}

LRESULT HandleControlMessage(CQSExeDlg& dialog, const ControlMessage& row, WPARAM wParam, LPARAM lParam) {
  const char16_t* name = nullptr;
  if (row.nameSource == NameSource::WParam) name = reinterpret_cast<const char16_t*>(wParam);
  else if (wParam) name = reinterpret_cast<const ItemRequest*>(wParam)->name;
  const ControlTable& table = dialog.controls();
  const std::int32_t index = table.FindControl(name);
  auto* object = static_cast<win32::Control*>(table.WindowAt(index));
  // A control of another kind is treated like a name that is not found.
  if (object && row.kind && table.record(static_cast<std::uint32_t>(index)).kind != *row.kind) object = nullptr;
  if (!object || !object->hwnd()) {
    ShowErrorBox(row.wrongName);
    return row.wrongNameResult;
  }
  // A right name with a missing buffer or record: nowhere to put the
  // result, so the row's wrong-name result, without a box and unwritten.
  if (row.needsLParam && lParam == 0) return row.wrongNameResult;
  return row.operation(MessageTarget{object, object->hwnd()}, wParam, lParam);
}

}  // namespace qs
