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

class CheckingBuilder : public RecordingBuilder {
 public:
  CheckingBuilder(const FileHead& head, Findings& findings) : head_(head), findings_(findings) {}
  void BuildWindow(const WindowLine& window) override {
    RecordingBuilder::BuildWindow(window);
    if (window.properties.backgroundImage) CheckImage(*window.properties.backgroundImage, window.line, head_, findings_);
  }
  void* BuildControl(const ControlLine& line, const ControlParent& parent) override {
    if (line.kind->kind == ControlKind::PictureBox && line.properties.pictureName)
      CheckImage(*line.properties.pictureName, line.line, head_, findings_);
    return RecordingBuilder::BuildControl(line, parent);
  }

 private:
  const FileHead& head_;
  Findings& findings_;
};

}  // namespace

std::string DumpForm(std::u16string_view text) { return Dump(text); }

bool LooksLikeUtf16Le(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return false;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return false;
  if (bytes.find("\r\n") != std::string_view::npos) return false;  // 8-bit line ends
  const std::u16string text = FormTextFromBytes(bytes);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

Findings CheckForm(std::string_view bytes, const FileHead& head) {
  Findings findings;
  if (!LooksLikeUtf16Le(bytes))
    findings.push_back({1, "the file does not look like UTF-16LE text; the host reads it as UTF-16LE anyway"});
  if (bytes.empty()) {
    findings.push_back({1, "the file is empty; the window gets no controls"});
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
