#include "form/form_walker.h"

#include "common/utf.h"
#include "common/white_space.h"
#include "form/form_pairs.h"

namespace qs {

namespace {

constexpr std::u16string_view kWindowEnd = u"窗口结束";
constexpr std::u16string_view kPageEnd = u"选项卡页面结束";
constexpr std::u16string_view kTabEnd = u"选项卡结束";

class Walk {
 public:
  Walk(std::u16string_view text, FormBuilder& builder, ControlTable& table, Findings* findings)
      : reader_(text, findings), builder_(builder), table_(table), findings_(findings) {}

  bool Run() {
    std::optional<std::u16string_view> line = reader_.ReadLine();
    if (!line) return EndOfText("the window line");
    ReadWindowLine(*line);
    for (;;) {
      line = reader_.ReadLine();
      if (!line) return EndOfText("窗口结束");
      if (*line == kWindowEnd) return true;
      ReadControlLine(*line, ControlParent{});
    }
  }

 private:
  void Report(const std::string& text) { reader_.Report(text); }

  bool EndOfText(const char* expected) {
    if (!endReported_) Report(std::string("the text ends before ") + expected);
    endReported_ = true;
    return false;
  }

  // `tail` tells whether a tail follows the last number: when no space
  // follows it, the line keeps that number as its whole rest.
  FormRect ReadRect(std::u16string_view& line, bool* tail) {
    FormRect rect;
    rect.left = reader_.ReadNumber(line);
    rect.top = reader_.ReadNumber(line);
    rect.right = reader_.ReadNumber(line);
    const std::u16string_view beforeLast = Trim(line);
    rect.bottom = reader_.ReadNumber(line);
    *tail = line.data() != beforeLast.data();
    return rect;
  }

  // What the pair lists left of a tail is never read: an item without its
  // closing bar, or items after a space that ended a list.
  void ReportUnread(std::u16string_view rest, bool tail) {
    rest = Trim(rest);
    if (!findings_ || !tail || rest.find_first_not_of(u"| ") == std::u16string_view::npos) return;
    if (rest.find(u'|') == std::u16string_view::npos)
      Report("'" + ToUtf8(rest) + "' has no closing '|'; the host does not read it");
    else
      Report("'" + ToUtf8(rest) + "' is not read: a space before it ended the list");
  }

  void ReadWindowLine(std::u16string_view line) {
    WindowLine window;
    window.line = reader_.lineNumber();
    FormReader::NextToken(line);
    FormReader::NextToken(line);
    window.caption = reader_.ReadQuoted(line);
    bool tail = false;
    window.rect = ReadRect(line, &tail);
    ParsePairs(line, u"窗口属性", &window.properties, nullptr, &reader_);
    ParsePairs(line, u"窗口事件", nullptr, &window.events, &reader_);
    ReportUnread(line, tail);
    builder_.BuildWindow(window);
  }

  // Reads one control line, builds and registers it; a tab control's block follows.
  void ReadControlLine(std::u16string_view line, const ControlParent& parent) {
    const bool onPage = parent.page >= 0;
    const std::u16string_view word = FormReader::NextToken(line);
    const ControlKindInfo* kind = FindControlKind(word, onPage);
    if (!kind) {
      if (word.empty()) return;  // an empty line
      if (onPage && FindControlKind(word))
        Report("a " + ToUtf8(word) + " cannot stand on a tab page; the line is skipped");
      else
        Report("unknown kind word '" + ToUtf8(word) + "'; the line is skipped");
      return;
    }
    ControlLine control;
    control.kind = kind;
    control.line = reader_.lineNumber();
    control.name = std::u16string(FormReader::NextToken(line));
    switch (kind->kind) {
      case ControlKind::Label: case ControlKind::GroupBox: case ControlKind::Button: case ControlKind::EditBox:
      case ControlKind::RadioButton: case ControlKind::CheckBox:
        control.text = reader_.ReadQuoted(line);
        break;
      case ControlKind::DropDown:
        control.items = reader_.ReadItemList(line);
        break;
      case ControlKind::ListBox:
        control.text = reader_.ReadQuoted(line);
        control.items = reader_.ReadItemList(line);
        break;
      default:
        break;
    }
    bool tail = false;
    control.rect = ReadRect(line, &tail);
    ParsePairs(line, kind->propertySection, &control.properties, nullptr, &reader_);
    // A group box on the main window gets its property pass only.
    if (kind->kind != ControlKind::GroupBox || onPage)
      ParsePairs(line, kind->eventSection, nullptr, &control.events, &reader_);
    ReportUnread(line, tail);

    void* object = skipping_ ? nullptr : builder_.BuildControl(control, parent);
    if (object) Register(control, object);
    if (kind->kind == ControlKind::TabControl) ReadTabBlock(object);
  }

  void Register(const ControlLine& control, void* object) {
    if (table_.RegisterControl(control.name.c_str(), object, control.kind->kind) || !findings_) return;
    const std::string name = "'" + ToUtf8(control.name) + "'";
    if (table_.count() >= kMaxControls)
      Report("control " + name + " is beyond the 1024 that can be named; it cannot be found by name");
    else if (control.name.size() >= kNameUnits)
      Report("the name " + name + " has 64 or more code units; the control cannot be found by name");
    else
      Report("the name " + name + " repeats an earlier name (A-Z compared without case); the control cannot be found by name");
  }

  void ReadTabBlock(void* tab) {
    int pages = 0;
    for (;;) {
      std::optional<std::u16string_view> line = reader_.ReadLine();
      if (!line) {
        EndOfText("选项卡结束");
        break;
      }
      if (*line == kTabEnd) break;
      std::u16string_view pageLine = *line;
      FormReader::NextToken(pageLine);
      const std::u16string title(FormReader::NextToken(pageLine));
      const bool accepted = tab && !skipping_ && pages < kMaxPages;
      if (tab && pages == kMaxPages) Report("a tab control holds at most 32 pages; this page and its controls are skipped");
      if (accepted) builder_.AddPage(tab, title);
      const bool wasSkipping = skipping_;
      skipping_ = skipping_ || !accepted;
      const bool ended = !ReadPage(ControlParent{tab, pages});
      skipping_ = wasSkipping;
      if (accepted) ++pages;
      if (ended) break;
    }
    if (tab && !skipping_) builder_.FinishTab(tab);
  }

  // Reads the control lines of one page; false when the text ended first.
  bool ReadPage(const ControlParent& parent) {
    for (;;) {
      std::optional<std::u16string_view> line = reader_.ReadLine();
      if (!line) return EndOfText("选项卡页面结束");
      if (*line == kPageEnd) return true;
      ReadControlLine(*line, parent);
    }
  }

  FormReader reader_;
  FormBuilder& builder_;
  ControlTable& table_;
  Findings* findings_;
  bool skipping_ = false;  // inside a page that was refused
  bool endReported_ = false;
};

}  // namespace

bool WalkForm(std::u16string_view text, FormBuilder& builder, ControlTable& table, Findings* findings) {
  return Walk(text, builder, table, findings).Run();
}

}  // namespace qs
