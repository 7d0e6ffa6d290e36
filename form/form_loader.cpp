// The window from the form: the walk of form_walker with a builder that
// creates, sets up and hands over each control to the dialog.
#include "form/form_loader.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "controls/qs_browse.h"
#include "controls/qs_button.h"
#include "controls/qs_edit.h"
#include "controls/qs_group_box.h"
#include "controls/qs_list_box.h"
#include "controls/qs_picture.h"
#include "controls/qs_static.h"
#include "controls/qs_tab.h"
#include "controls/qs_timer.h"
#include "controls/qs_value_controls.h"
#include "form/form_walker.h"
#include "host/main_dialog.h"
#include "host/work_directory.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace qs {

namespace {

// Window styles and identifiers of the kinds.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kLabelStyle = kChild | SS_NOTIFY;
constexpr DWORD kGroupBoxStyle = kChild;
constexpr DWORD kButtonStyle = kChild | BS_PUSHBUTTON | BS_CENTER | BS_NOTIFY;
constexpr DWORD kEditStyle = kChild | WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
// A password box is single-line: multi-line edits show no password character.
constexpr DWORD kPasswordEditStyle = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kRadioStyle = kChild | BS_AUTORADIOBUTTON;
constexpr DWORD kCheckStyle = kChild | BS_AUTOCHECKBOX;
constexpr DWORD kComboStyle = kChild | WS_VSCROLL | CBS_DROPDOWN;
constexpr DWORD kListBoxStyle = kChild | WS_BORDER | SS_NOTIFY | 0x20;
constexpr DWORD kPlainStyle = kChild;
constexpr DWORD kPictureStyle = kChild | WS_BORDER | SS_NOTIFY | SS_BITMAP;
constexpr DWORD kBrowseStyle = kChild | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kClockStyle = kChild | SS_NOTIFY | SS_REALSIZEIMAGE | SS_BITMAP;
constexpr DWORD kTabStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_MULTILINE;
static_assert(kLabelStyle == 0x54000100 && kButtonStyle == 0x54004300 && kEditStyle == 0x54811044 &&
              kRadioStyle == 0x54000009 && kCheckStyle == 0x54000003 && kComboStyle == 0x54200002 &&
              kListBoxStyle == 0x54800120 && kPictureStyle == 0x5480010E && kBrowseStyle == 0x54800080 &&
              kClockStyle == 0x5400090E && (kTabStyle & ~WS_CHILD) == 0x14000200);

constexpr UINT_PTR kCommonId = 0xFFFF, kEditId = 0x10001, kRadioId = 0xFFFC, kCheckId = 0xFFFD,
                   kProgressId = 0x10001, kSliderId = 0x10003, kBrowseId = 0x9FFCF;

RECT ToRect(const FormRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

std::wstring Wide(const std::optional<std::u16string>& text) { return text ? win32::ToWide(*text) : std::wstring(); }
std::u16string Text(const std::optional<std::u16string>& text) { return text.value_or(u""); }

class WindowBuilder : public FormBuilder {
 public:
  explicit WindowBuilder(CQSExeDlg& dialog) : dialog_(dialog), font_(dialog.DialogFont()) {}

  void BuildWindow(const WindowLine& window) override {
    WindowProperties& record = dialog_.windowProperties();
    // Without the key the window keeps the default background.
    const std::int32_t color = window.properties.backgroundColor.value_or(-1);
    record.backgroundColor = color == 2147483647 ? -1 : color;
    record.backgroundImage = Text(window.properties.backgroundImage);
    record.iconName = Text(window.properties.iconName);
    record.initEvent = Text(window.events.init);
    record.destroyEvent = Text(window.events.destroy);
    SetWindowTextW(dialog_.hwnd(), win32::ToWide(window.caption).c_str());
    SetWindowPos(dialog_.hwnd(), nullptr, 0, 0, window.rect.right - window.rect.left,
                 window.rect.bottom - window.rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    dialog_.SetBackgroundColor(record.backgroundColor);
    if (!record.backgroundImage.empty()) dialog_.SetBackgroundImageByName(record.backgroundImage);
  }

  void* BuildControl(const ControlLine& line, const ControlParent& parent) override {
    HWND parentWindow = dialog_.hwnd();
    if (parent.tab) {
      CQSTabPage* page = static_cast<CQSTab*>(parent.tab)->Page(parent.page);
      if (!page) return nullptr;
      parentWindow = page->hwnd();
    }
    std::unique_ptr<win32::Control> control = Build(line, parentWindow);
    return control ? dialog_.AdoptControl(std::move(control)) : nullptr;
  }

  void AddPage(void* tab, const std::u16string& title) override {
    static_cast<CQSTab*>(tab)->AddPage(win32::ToWide(title));
  }

  void FinishTab(void* tab) override { static_cast<CQSTab*>(tab)->FinishLoading(); }

  // A window created later lies below the earlier ones, so a group box would
  // cover the controls it frames: the group boxes go below all other
  // controls, the first one lowest.
  void LowerGroupBoxes() {
    for (auto it = groupBoxes_.rbegin(); it != groupBoxes_.rend(); ++it)
      SetWindowPos(*it, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

 private:
  // Without a repaint: the window is hidden while it loads and painted whole when it shows.
  void SetFont(const win32::Control& control) const {
    SendMessageW(control.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }

  template <class T>
  std::unique_ptr<T> Create(const wchar_t* windowClass, const wchar_t* text, DWORD style, const ControlLine& line,
                            HWND parent, UINT_PTR id) {
    auto control = std::make_unique<T>();
    if (!control->Create(windowClass, text, style, 0, ToRect(line.rect), parent, id)) return nullptr;
    return control;
  }

  std::unique_ptr<win32::Control> Build(const ControlLine& line, HWND parent) {
    const FormProperties& p = line.properties;
    const FormEvents& e = line.events;
    switch (line.kind->kind) {
      case ControlKind::Label: {
        auto label = Create<CQSStatic>(WC_STATICW, Wide(line.text).c_str(), kLabelStyle, line, parent, kCommonId);
        if (!label) return nullptr;
        SetFont(*label);
        if (p.font) label->SetBackgroundColor(static_cast<COLORREF>(p.font->backColor));
        label->set_clickEvent(Text(e.click));
        if (p.font)
          label->SetFont(win32::ToWide(p.font->face), p.font->height, static_cast<COLORREF>(p.font->textColor),
                         p.font->style);
        return label;
      }
      case ControlKind::GroupBox: {
        auto group = std::make_unique<CQSGroupBox>();
        if (!group->CreateWindowIn(parent, Wide(line.text).c_str(), kGroupBoxStyle, ToRect(line.rect), kCommonId))
          return nullptr;
        LOGFONTW logFont{};
        GetObjectW(font_, sizeof logFont, &logFont);
        group->SetTitle(Wide(line.text).c_str());
        group->SetLogFont(logFont);
        group->SetAlignment(p.alignment.value_or(0));
        group->SetMode(p.mode.value_or(0));
        if (p.borderColor) group->SetBorderColor(static_cast<COLORREF>(*p.borderColor));
        if (p.textColor) group->SetTitleTextColor(static_cast<COLORREF>(*p.textColor));
        if (p.backgroundColor || p.clientColor)
          group->SetBackgroundColors(static_cast<COLORREF>(p.backgroundColor.value_or(GetSysColor(COLOR_BTNFACE))),
                                     static_cast<COLORREF>(p.clientColor.value_or(GetSysColor(COLOR_BTNFACE))));
        groupBoxes_.push_back(group->hwnd());
        return group;
      }
      case ControlKind::Button: {
        auto button = Create<CQSButton>(WC_BUTTONW, Wide(line.text).c_str(), kButtonStyle, line, parent, kCommonId);
        if (!button) return nullptr;
        SetFont(*button);
        button->set_clickEvent(Text(e.click));
        return button;
      }
      case ControlKind::EditBox: {
        const bool password = p.password.value_or(false);
        auto edit = Create<CQSEdit>(WC_EDITW, L"", password ? kPasswordEditStyle : kEditStyle, line, parent, kEditId);
        if (!edit) return nullptr;
        SetFont(*edit);
        SetWindowTextW(edit->hwnd(), Wide(line.text).c_str());
        edit->SetPassword(password);
        edit->SetTextColor(static_cast<COLORREF>(p.textColor.value_or(0)));
        edit->SetBackgroundColor(p.backgroundColor ? static_cast<COLORREF>(*p.backgroundColor) : kNoBackground);
        edit->set_changeEvent(Text(e.change));
        edit->set_lostFocusEvent(Text(e.lostFocus));
        return edit;
      }
      case ControlKind::RadioButton:
      case ControlKind::CheckBox: {
        const bool radio = line.kind->kind == ControlKind::RadioButton;
        std::unique_ptr<CQSCheck> button =
            radio ? std::unique_ptr<CQSCheck>(
                        Create<CQSRadio>(WC_BUTTONW, Wide(line.text).c_str(), kRadioStyle, line, parent, kRadioId))
                  : Create<CQSCheck>(WC_BUTTONW, Wide(line.text).c_str(), kCheckStyle, line, parent, kCheckId);
        if (!button) return nullptr;
        SetFont(*button);
        button->SetInitialState(p.checked.value_or(false));
        button->set_clickEvent(Text(e.click));
        return button;
      }
      case ControlKind::DropDown: {
        auto combo = Create<CQSComboBox>(WC_COMBOBOXW, nullptr, kComboStyle, line, parent, kCommonId);
        if (!combo) return nullptr;
        SetFont(*combo);
        for (const std::u16string& item : line.items)
          SendMessageW(combo->hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::ToWide(item).c_str()));
        combo->set_dropDownEvent(Text(e.click));
        combo->set_changeEvent(Text(e.change));
        return combo;
      }
      case ControlKind::ListBox: {
        auto list = std::make_unique<CQSListBox>();
        if (!list->CreateWindowIn(parent, kListBoxStyle, ToRect(line.rect), kCommonId)) return nullptr;
        SetWindowTextW(list->hwnd(), Wide(line.text).c_str());
        SetFont(*list);
        for (const std::u16string& item : line.items) list->AddItem(win32::ToWide(item), 0, -1);
        list->set_changeEvent(Text(e.change));
        return list;
      }
      case ControlKind::ProgressBar: {
        auto progress = Create<CQSProgress>(PROGRESS_CLASSW, nullptr, kPlainStyle, line, parent, kProgressId);
        if (progress) SetFont(*progress);
        return progress;
      }
      case ControlKind::DateBox: {
        auto date = Create<CQSDate>(DATETIMEPICK_CLASSW, nullptr, kPlainStyle, line, parent, kCommonId);
        if (date) SetFont(*date);
        return date;
      }
      case ControlKind::Slider: {
        auto slider = Create<CQSSlider>(TRACKBAR_CLASSW, nullptr, kPlainStyle, line, parent, kSliderId);
        if (!slider) return nullptr;
        SetFont(*slider);
        slider->set_changeEvent(Text(e.change));
        return slider;
      }
      case ControlKind::PictureBox: {
        auto picture = Create<CQSPicture>(WC_STATICW, L"图片框", kPictureStyle, line, parent, kCommonId);
        if (!picture) return nullptr;
        picture->LoadPictureFile(Text(p.pictureName));
        SetFont(*picture);
        return picture;
      }
      case ControlKind::BrowseBox: {
        auto browse = Create<CQSBrowse>(WC_EDITW, nullptr, kBrowseStyle, line, parent, kBrowseId);
        if (!browse) return nullptr;
        browse->EnableBrowseButton(L"...");
        browse->SetBrowseMode(p.mode.value_or(2) == 2 ? 2 : 3);
        SetFont(*browse);
        browse->EnableBrowseButton(L"...");  // the button's width follows the font
        browse->set_changeEvent(Text(e.change));
        return browse;
      }
      case ControlKind::Clock: {
        auto clock = Create<CQSTimer>(WC_STATICW, L"时钟", kClockStyle, line, parent, kCommonId);
        if (!clock) return nullptr;
        SendMessageW(clock->hwnd(), STM_SETIMAGE, IMAGE_BITMAP, 0);
        SetFont(*clock);
        const std::int32_t interval = p.interval.value_or(0);
        if (interval != 0) clock->Start(static_cast<UINT>(interval));
        clock->set_tickEvent(Text(e.click));
        return clock;
      }
      case ControlKind::HotKey: {
        auto hotKey = Create<CQSHotKeyCtrl>(HOTKEY_CLASSW, nullptr, kPlainStyle, line, parent, kCommonId);
        if (!hotKey) return nullptr;
        hotKey->SetCombination(static_cast<BYTE>(p.virtualKey.value_or(0)), static_cast<BYTE>(p.mode.value_or(0)));
        hotKey->Register();
        SetFont(*hotKey);
        hotKey->set_hotKeyEvent(Text(e.hotKey));
        hotKey->set_lostFocusEvent(Text(e.lostFocus));
        return hotKey;
      }
      case ControlKind::TabControl: {
        auto tab = Create<CQSTab>(WC_TABCONTROLW, nullptr, kTabStyle, line, parent, kCommonId);
        if (!tab) return nullptr;
        SetFont(*tab);
        tab->set_changeEvent(Text(e.change));
        return tab;
      }
    }
    return nullptr;
  }

  CQSExeDlg& dialog_;
  HFONT font_;
  std::vector<HWND> groupBoxes_;
};

std::string ReadWholeFile(const std::wstring& path, bool* opened) {
  win32::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  *opened = static_cast<bool>(file);
  std::string bytes;
  if (!file) return bytes;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > (1LL << 30)) return bytes;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
  bytes.resize(read);
  return bytes;
}

}  // namespace

void LoadForm(CQSExeDlg& dialog) {
  dialog.controls().ClearControls();
  bool opened = false;
  const std::string bytes = ReadWholeFile(WorkFilePath(L"main.qwin"), &opened);
  if (!opened || bytes.empty()) return;
  WindowBuilder builder(dialog);
  WalkForm(FormTextFromBytes(bytes), builder, dialog.controls());
  builder.LowerGroupBoxes();
  InvalidateRect(dialog.hwnd(), nullptr, TRUE);
}

}  // namespace qs
