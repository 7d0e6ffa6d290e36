// CQSTab, the tab control, and CQSTabPage, its pages: child dialogs (template
// 103) that hand their controls' notifications back to the control objects
// like the main window does. Page i belongs to tab item i; at most 32.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "controls/qs_control.h"
#include "win32/dialog.h"

namespace qs {

class CQSTabPage : public win32::Dialog {
 public:
  CQSTabPage();

 protected:
  // Enter and Escape belong to the main window, never to a page.
  void OnOK() override {}
  void OnCancel() override {}
  // The page's background behind its transparent controls.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

inline constexpr int kTabPages = 32;

class CQSTab : public CQSControl {
 public:
  // Appends a tab item and its page; false (nothing added) beyond 32 pages.
  bool AddPage(const std::wstring& caption);
  void FitAllPages();
  // Shows page i in the display area and hides the others; an index at or
  // beyond the count hides every page.
  void ShowPage(int index);
  // The last page current and shown.
  void FinishLoading();
  // Message 1564: the tab current (by program: no event) and its page shown.
  void SelectPage(int index);

  int PageCount() const;
  CQSTabPage* Page(int index) const;
  void set_changeEvent(std::u16string event) { changeEvent_ = std::move(event); }

  bool OnNotify(NMHDR* header, LRESULT* result) override;

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  RECT DisplayArea() const;

  std::u16string changeEvent_;
  std::array<std::unique_ptr<CQSTabPage>, kTabPages> pages_;
};

}  // namespace qs
