// CQSListBox, the list box: a caption strip showing the window text above a
// single-column, header-less report list view with single selection. Raises
// "选择改变" for every change of an item's selected state, so twice when the
// selection moves from one item to another.
#pragma once

#include <string>

#include "controls/qs_control.h"

namespace qs {

class CQSListBox : public CQSControl {
 public:
  bool CreateWindowIn(HWND parent, DWORD style, const RECT& rect, UINT_PTR id);
  void set_changeEvent(std::u16string event) { changeEvent_ = std::move(event); }

  int GetCount() const;
  int GetSelItem() const;  // -1 for none
  std::wstring GetItemText(int index) const;  // empty for a bad index
  int AddItem(const std::wstring& text, LPARAM data = 0, int position = -1);
  bool RemoveItem(int index);
  // Items are never edited in place.
  bool EditItem(int) { return false; }

  HWND list() const { return list_; }

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  int CaptionHeight();
  void Layout();
  void PaintCaption();

  HWND list_ = nullptr;
  HFONT font_ = nullptr;  // WM_SETFONT's font, not owned
  int lineHeight_ = 0;    // of the font, 0 until measured
  RECT listArea_{};       // where the list was put last
  std::u16string changeEvent_;
};

}  // namespace qs
