#include "form/form_reader.h"

#include "common/utf.h"
#include "common/white_space.h"

namespace qs {

std::u16string FormTextFromBytes(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (unit == 0) break;
    text += unit;
  }
  return text;
}

std::int32_t ParseLong(std::u16string_view text, bool* exact) {
  std::size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  const std::size_t digitsStart = i;
  std::int64_t value = 0;
  bool overflow = false;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    if (!overflow) {
      value = value * 10 + (text[i] - u'0');
      if (value > 2147483648LL) overflow = true;
    }
  }
  const bool digits = i > digitsStart;
  std::int32_t result = 0;
  if (digits) {
    if (negative) result = overflow || value > 2147483648LL ? INT32_MIN : static_cast<std::int32_t>(-value);
    else if (overflow || value > 2147483647LL) {
      result = INT32_MAX;
      overflow = true;
    } else {
      result = static_cast<std::int32_t>(value);
    }
  }
  if (exact) *exact = digits && !overflow && i == text.size();
  return result;
}

FormReader::FormReader(std::u16string_view text, Findings* findings) : rest_(text), findings_(findings) {}

void FormReader::Report(std::string text) const {
  if (findings_) findings_->push_back({lineNumber_, std::move(text)});
}

std::optional<std::u16string_view> FormReader::ReadRawLine() {
  if (ended_) return std::nullopt;
  ++lineNumber_;
  const std::size_t cr = rest_.find(u'\r');
  if (cr == std::u16string_view::npos) {
    // The last line: given once, then the text has ended.
    ended_ = true;
    return rest_;
  }
  std::u16string_view raw = rest_.substr(0, cr);
  rest_.remove_prefix(cr + 1);
  return raw;
}

std::optional<std::u16string_view> FormReader::ReadLine() {
  std::optional<std::u16string_view> raw = ReadRawLine();
  if (!started_ && raw) {
    started_ = true;
    if (raw->size() == 1 && !IsWhiteSpace((*raw)[0])) {
      do raw = ReadRawLine();
      while (raw && Trim(*raw).empty() && !ended_);
    }
  }
  if (!raw) return std::nullopt;
  return Trim(*raw);
}

std::u16string_view FormReader::NextToken(std::u16string_view& line) {
  line = Trim(line);
  const std::size_t space = line.find(u' ');
  if (space == std::u16string_view::npos) return line;  // the line stays as it is
  const std::size_t comma = line.find(u',');
  const std::size_t end = comma != std::u16string_view::npos && comma < space ? comma : space;
  const std::u16string_view token = line.substr(0, end);
  line.remove_prefix(end + 1);
  return token;
}

std::u16string FormReader::ReadQuoted(std::u16string_view& line) const {
  std::u16string result;
  if (line.empty() || line.front() != u'"') {
    Report("a quoted field expected, found " + (line.empty() ? std::string("the end of the line")
                                                             : "'" + ToUtf8(line.substr(0, 1)) + "'"));
    if (!line.empty()) line.remove_prefix(1);
    return result;
  }
  std::size_t i = 1;
  bool closed = false;
  bool overLimit = false;
  for (; i < line.size(); ++i) {
    char16_t c = line[i];
    if (c == u'\\' && i + 1 < line.size() && (line[i + 1] == u'"' || line[i + 1] == u'\\')) {
      c = line[++i];
    } else if (c == u'"') {
      closed = true;
      ++i;
      break;
    }
    if (result.size() < kQuotedLimit) result += c;
    else overLimit = true;
  }
  if (!closed) Report("a quoted field without its closing quote");
  if (overLimit) Report("a quoted field longer than 518 code units is cut");
  line.remove_prefix(i);
  return result;
}

std::vector<std::u16string> FormReader::ReadItemList(std::u16string_view& line) const {
  std::vector<std::u16string> items;
  line = Trim(line);
  if (line.empty() || line.front() != u'"') {
    Report("an item list in double quotes expected");
    if (!line.empty()) line.remove_prefix(1);
    return items;
  }
  std::u16string item;
  std::size_t i = 1;
  bool closed = false;
  bool overLimit = false;
  for (; i < line.size(); ++i) {
    char16_t c = line[i];
    if (c == u'\\' && i + 1 < line.size() && (line[i + 1] == u'"' || line[i + 1] == u'\\' || line[i + 1] == u'|')) {
      c = line[++i];
    } else if (c == u'|') {
      if (!item.empty()) items.push_back(std::move(item));
      item.clear();
      continue;
    } else if (c == u'"') {
      closed = true;
      ++i;
      break;
    }
    if (item.size() < kItemLimit) item += c;
    else overLimit = true;
  }
  if (!closed) Report("an item list without its closing quote");
  if (!item.empty()) Report("the last item of the list has no closing '|' and is dropped");
  if (overLimit) Report("a list item longer than 258 code units is cut");
  line.remove_prefix(i);
  return items;
}

std::int32_t FormReader::ReadNumber(std::u16string_view& line) const {
  const std::u16string_view token = NextToken(line);
  bool exact = false;
  const std::int32_t value = ParseLong(token, &exact);
  if (!exact) Report("'" + ToUtf8(token) + "' is not a 32-bit number; read as " + std::to_string(value));
  return value;
}

}  // namespace qs
