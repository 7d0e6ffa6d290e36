#include "tools/qsform/form_report.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "common/utf.h"
#include "form/form_walker.h"

namespace qs::qsform {

namespace {

std::string Json(std::u16string_view text) {
  std::string out = "\"";
  for (char c : ToUtf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          snprintf(escape, sizeof escape, "\\u%04x", c);
          out += escape;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string Json(const FormRect& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "]";
}

class JsonObject {
 public:
  template <class T>
  void Add(const char* key, const std::optional<T>& value) {
    if (value) Add(key, *value);
  }
  void Add(const char* key, const std::u16string& value) { AddRaw(key, Json(value)); }
  void Add(const char* key, std::int32_t value) { AddRaw(key, std::to_string(value)); }
  void Add(const char* key, bool value) { AddRaw(key, value ? "true" : "false"); }
  void AddRaw(const char* key, const std::string& json) {
    text_ += (text_.empty() ? "" : ", ") + std::string("\"") + key + "\": " + json;
  }
  std::string str() const { return "{" + text_ + "}"; }

 private:
  std::string text_;
};

std::string Json(const FormProperties& p) {
  JsonObject o;
  if (p.font) {
    JsonObject font;
    font.Add("face", p.font->face);
    font.Add("textColor", p.font->textColor);
    font.Add("backColor", p.font->backColor);
    font.Add("height", p.font->height);
    font.Add("style", p.font->style);
    o.AddRaw("font", font.str());
  }
  o.Add("pictureName", p.pictureName);
  o.Add("iconName", p.iconName);
  o.Add("backgroundImage", p.backgroundImage);
  o.Add("backgroundColor", p.backgroundColor);
  o.Add("textColor", p.textColor);
  o.Add("borderColor", p.borderColor);
  o.Add("clientColor", p.clientColor);
  o.Add("mode", p.mode);
  o.Add("alignment", p.alignment);
  o.Add("interval", p.interval);
  o.Add("virtualKey", p.virtualKey);
  o.Add("pageCount", p.pageCount);
  o.Add("checked", p.checked);
  o.Add("password", p.password);
  return o.str();
}

std::string Json(const FormEvents& e) {
  JsonObject o;
  o.Add("init", e.init);
  o.Add("destroy", e.destroy);
  o.Add("click", e.click);
  o.Add("change", e.change);
  o.Add("lostFocus", e.lostFocus);
  o.Add("hotKey", e.hotKey);
  return o.str();
}

// Builds nothing: records what the host would build. A control's object is
// its position in the list plus one.
class RecordingBuilder : public FormBuilder {
 public:
  struct Control {
    ControlLine line;
    ControlParent parent;
    std::vector<std::u16string> pages;
  };

  void BuildWindow(const WindowLine& window) override { window_ = window; }
  void* BuildControl(const ControlLine& line, const ControlParent& parent) override {
    controls_.push_back({line, parent, {}});
    return reinterpret_cast<void*>(controls_.size());
  }
  void AddPage(void* tab, const std::u16string& title) override { ControlOf(tab).pages.push_back(title); }
  void FinishTab(void*) override {}

  static std::size_t IndexOf(void* object) { return reinterpret_cast<std::size_t>(object) - 1; }
  Control& ControlOf(void* object) { return controls_[IndexOf(object)]; }

  WindowLine window_;
  std::vector<Control> controls_;
};

std::string Dump(std::u16string_view text) {
  RecordingBuilder builder;
  static ControlTable table;  // large: kept off the stack
  table.ClearControls();
  const bool complete = WalkForm(text, builder, table);
  std::map<void*, std::int32_t> tableIndex;
  for (std::uint32_t i = 0; i < table.count(); ++i) tableIndex[table.record(i).window] = static_cast<std::int32_t>(i);

  std::string out = "{\n";
  JsonObject window;
  window.Add("caption", builder.window_.caption);
  window.AddRaw("rect", Json(builder.window_.rect));
  window.AddRaw("properties", Json(builder.window_.properties));
  window.AddRaw("events", Json(builder.window_.events));
  out += "  \"window\": " + window.str() + ",\n  \"controls\": [";
  for (std::size_t i = 0; i < builder.controls_.size(); ++i) {
    const RecordingBuilder::Control& c = builder.controls_[i];
    JsonObject o;
    o.AddRaw("kind", "\"" + std::string(c.line.kind->name) + "\"");
    o.Add("name", c.line.name);
    o.Add("text", c.line.text);
    if (c.line.kind->kind == ControlKind::DropDown || c.line.kind->kind == ControlKind::ListBox) {
      std::string items;
      for (const std::u16string& item : c.line.items) items += (items.empty() ? "" : ",") + Json(item);
      o.AddRaw("items", "[" + items + "]");
    }
    if (c.line.kind->kind == ControlKind::TabControl) {
      std::string pages;
      for (const std::u16string& page : c.pages) pages += (pages.empty() ? "" : ",") + Json(page);
      o.AddRaw("pages", "[" + pages + "]");
    }
    o.AddRaw("rect", Json(c.line.rect));
    o.AddRaw("properties", Json(c.line.properties));
    o.AddRaw("events", Json(c.line.events));
    o.AddRaw("parent", c.parent.tab ? "{\"tab\": " + std::to_string(RecordingBuilder::IndexOf(c.parent.tab)) +
                                          ", \"page\": " + std::to_string(c.parent.page) + "}"
                                    : "null");
    const auto found = tableIndex.find(reinterpret_cast<void*>(i + 1));
    o.AddRaw("tableIndex", found != tableIndex.end() ? std::to_string(found->second) : "null");
    out += (i ? ",\n    " : "\n    ") + o.str();
  }
  out += builder.controls_.empty() ? "],\n" : "\n  ],\n";
  out += std::string("  \"complete\": ") + (complete ? "true" : "false") + "\n}\n";
  return out;
}

bool HasImageSignature(const std::string& head) {
  auto starts = [&](std::string_view magic) { return head.compare(0, magic.size(), magic) == 0; };
  return starts("BM") || starts("\x89PNG\r\n\x1a\n") || starts("\xFF\xD8\xFF") || starts("GIF87a") ||
         starts("GIF89a") || starts("II*\0") || starts("MM\0*") || starts(std::string_view("\0\0\1\0", 4)) ||
         starts("\xD7\xCD\xC6\x9A") || starts(std::string_view("\1\0\0\0", 4));
}

// Reports an image the host would fail to show.
void CheckImage(const std::u16string& name, int line, const FileHead& head, Findings& findings) {
  if (name.empty() || !head) return;
  const std::optional<std::string> bytes = head(name);
  if (!bytes)
    findings.push_back({line, "the image '" + ToUtf8(name) + "' is not in the project; nothing is shown"});
  else if (!HasImageSignature(*bytes))
    findings.push_back({line, "the file '" + ToUtf8(name) + "' is not an image the host can decode; nothing is shown"});
}

// Widths in 64 bits: the edges may be any 32-bit numbers.
std::int64_t Width(const FormRect& r) { return std::int64_t{r.right} - r.left; }
std::int64_t Height(const FormRect& r) { return std::int64_t{r.bottom} - r.top; }

std::string Size(const FormRect& r) { return std::to_string(Width(r)) + " x " + std::to_string(Height(r)); }

bool Inverted(const FormRect& r) { return r.right < r.left || r.bottom < r.top; }

class CheckingBuilder : public RecordingBuilder {
 public:
  CheckingBuilder(const FileHead& head, Findings& findings) : head_(head), findings_(findings) {}
  void BuildWindow(const WindowLine& window) override {
    RecordingBuilder::BuildWindow(window);
    if (window.properties.backgroundImage) CheckImage(*window.properties.backgroundImage, window.line, head_, findings_);
    if (Inverted(window.rect))
      findings_.push_back({window.line, "the window's right or bottom edge lies before its left or top edge; "
                                        "the window has no size"});
  }
  void* BuildControl(const ControlLine& line, const ControlParent& parent) override {
    if (line.kind->kind == ControlKind::PictureBox && line.properties.pictureName)
      CheckImage(*line.properties.pictureName, line.line, head_, findings_);
    if (line.kind->kind != ControlKind::Clock) CheckPlace(line, parent);
    return RecordingBuilder::BuildControl(line, parent);
  }

 private:
  // A rectangle turned inside out, or one that misses the area it is placed
  // in: the window (its outer size, of which the client area is a part) or
  // the tab control that holds the page.
  void CheckPlace(const ControlLine& line, const ControlParent& parent) {
    const std::string name = "'" + ToUtf8(line.name) + "'";
    if (Inverted(line.rect)) {
      findings_.push_back({line.line, "the right or bottom edge of " + name +
                                          " lies before its left or top edge; the control has no size"});
      return;
    }
    const FormRect& outer = parent.tab ? ControlOf(parent.tab).line.rect : window_.rect;
    if (Inverted(outer)) return;
    const std::int64_t width = Width(outer), height = Height(outer);
    const FormRect& r = line.rect;
    if (r.left >= width || r.top >= height || r.right <= 0 || r.bottom <= 0)
      findings_.push_back({line.line, name + " lies outside " + (parent.tab ? "its tab control (" : "the window (") +
                                          Size(outer) + "); it cannot be seen"});
  }

  const FileHead& head_;
  Findings& findings_;
};

// Valid UTF-8: every lead byte followed by its continuation bytes.
bool IsUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || (length == 2 && lead < 0xC2) || i + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

constexpr char kSaveAs[] =
    "; the host reads main.qwin only as UTF-16LE and would build an empty window. Save it as UTF-16LE with lines "
    "ending in CR LF: in Notepad, Save As with the encoding \"UTF-16 LE\"; or iconv -f ";

}  // namespace

std::string DumpForm(std::u16string_view text) { return Dump(text); }

FormEncoding DetectFormEncoding(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return FormEncoding::Utf8WithMark;
  if (bytes.substr(0, 2) == "\xFE\xFF") return FormEncoding::Utf16Be;
  if (bytes.substr(0, 2) == "\xFF\xFE") return FormEncoding::Utf16Le;
  // Every form holds digits and spaces: in UTF-16 their high bytes are zero,
  // in 8-bit text no byte is.
  std::size_t evenZeros = 0, oddZeros = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\0') ++(i % 2 ? oddZeros : evenZeros);
  if (evenZeros + oddZeros == 0) return IsUtf8(bytes) ? FormEncoding::Utf8 : FormEncoding::EightBit;
  return evenZeros > oddZeros ? FormEncoding::Utf16Be : FormEncoding::Utf16Le;
}

std::optional<Finding> FileFormatFinding(std::string_view bytes) {
  switch (DetectFormEncoding(bytes)) {
    case FormEncoding::Utf8WithMark:
      return Finding{1, std::string("the file is UTF-8 text with a byte-order mark") + kSaveAs + "UTF-8 -t UTF-16LE"};
    case FormEncoding::Utf8:
      return Finding{1, std::string("the file is UTF-8 text (no byte-order mark)") + kSaveAs + "UTF-8 -t UTF-16LE"};
    case FormEncoding::Utf16Be:
      return Finding{1, std::string("the file is UTF-16 big-endian text") + kSaveAs + "UTF-16BE -t UTF-16LE"};
    case FormEncoding::EightBit:
      return Finding{1, std::string("the file is 8-bit text in a code page, not UTF-8 (GBK?)") + kSaveAs +
                            "GBK -t UTF-16LE"};
    case FormEncoding::Utf16Le:
      break;
  }
  const std::u16string text = FormTextFromBytes(bytes);
  if (text.find(u'\r') == std::u16string::npos && text.find(u'\n') != std::u16string::npos)
    return Finding{1, "the lines end in LF alone; the host cuts lines at CR and reads the whole file as one line. "
                      "Save it with lines ending in CR LF"};
  return std::nullopt;
}

bool IsPackageFileName(std::u16string_view name) {
  if (name.size() != kPackageFileName.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char16_t a = name[i], b = kPackageFileName[i];
    if (a >= u'a' && a <= u'z') a = static_cast<char16_t>(a - u'a' + u'A');
    if (b >= u'a' && b <= u'z') b = static_cast<char16_t>(b - u'a' + u'A');
    if (a != b) return false;
  }
  return true;
}

Findings CheckForm(std::string_view bytes, const FileHead& head) {
  Findings findings;
  if (bytes.empty()) {
    findings.push_back({1, "the file is empty; the window gets no controls"});
    return findings;
  }
  // Read in another encoding, every later finding would be noise.
  if (std::optional<Finding> format = FileFormatFinding(bytes)) {
    findings.push_back(*format);
    return findings;
  }
  CheckingBuilder builder(head, findings);
  static ControlTable table;
  table.ClearControls();
  WalkForm(FormTextFromBytes(bytes), builder, table, &findings);
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

}  // namespace qs::qsform
