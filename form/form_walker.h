// The reading order of a form: the window line, the control lines, the tab
// blocks with their pages, the end keywords. The window loader and the
// qsform tool run the same walk with builders of their own; the walk
// registers each built control in the control table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/control_kind.h"
#include "form/control_table.h"
#include "form/form_properties.h"
#include "form/form_reader.h"

namespace qs {

struct FormRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowLine {
  std::u16string caption;
  FormRect rect;
  FormProperties properties;
  FormEvents events;
  int line = 0;
};

struct ControlLine {
  const ControlKindInfo* kind = nullptr;
  std::u16string name;
  std::optional<std::u16string> text;  // the quoted field of the kinds that have one
  std::vector<std::u16string> items;   // drop-down and list box
  FormRect rect;
  FormProperties properties;
  FormEvents events;
  int line = 0;
};

// Where a control goes: the main window (tab null) or a page of a tab control.
struct ControlParent {
  void* tab = nullptr;
  int page = -1;
};

inline constexpr int kMaxPages = 32;

class FormBuilder {
 public:
  virtual ~FormBuilder() = default;
  virtual void BuildWindow(const WindowLine& window) = 0;
  // Creates and sets up one control; returns its object, or null when the
  // kind is not built (the line then creates nothing).
  virtual void* BuildControl(const ControlLine& control, const ControlParent& parent) = 0;
  virtual void AddPage(void* tab, const std::u16string& title) = 0;
  // The tab block has ended: lay out the pages and show the last one.
  virtual void FinishTab(void* tab) = 0;
};

// Walks the form text. Returns true when it ended with "窗口结束"; when the
// text ends before, what was built until then stays and false is returned.
bool WalkForm(std::u16string_view text, FormBuilder& builder, ControlTable& table, Findings* findings = nullptr);

}  // namespace qs
