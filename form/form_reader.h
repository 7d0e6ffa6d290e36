// Reading main.qwin: UTF-16 text cut into lines at CR, and the field
// primitives that consume a line from the left. Malformed fields read as
// empty or zero; what a reader met on the way can be collected as findings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qs {

// Something the host would silently skip or get wrong, for `qsform check`.
struct Finding {
  int line = 0;
  std::string text;  // UTF-8
};
using Findings = std::vector<Finding>;

inline constexpr std::size_t kQuotedLimit = 518;  // code units of a quoted string
inline constexpr std::size_t kItemLimit = 258;    // code units of a list item

// The text of a form file: its UTF-16LE code units up to the first zero
// unit or the end of the bytes (an odd last byte is dropped).
std::u16string FormTextFromBytes(std::string_view bytes);

class FormReader {
 public:
  explicit FormReader(std::u16string_view text, Findings* findings = nullptr);

  // The next line, trimmed; empty when the text has ended. The first line of
  // the text is skipped when it is a single code unit that is not white
  // space, together with the empty lines right after it.
  std::optional<std::u16string_view> ReadLine();
  // The number of the line ReadLine returned last (CR-ended lines from 1).
  int lineNumber() const { return lineNumber_; }
  bool atEnd() const { return ended_; }

  // Field primitives; each shortens `line` from the left.
  static std::u16string_view NextToken(std::u16string_view& line);
  std::u16string ReadQuoted(std::u16string_view& line) const;
  std::vector<std::u16string> ReadItemList(std::u16string_view& line) const;
  std::int32_t ReadNumber(std::u16string_view& line) const;

  void Report(std::string text) const;

 private:
  std::optional<std::u16string_view> ReadRawLine();

  std::u16string_view rest_;
  Findings* findings_;
  int lineNumber_ = 0;
  bool started_ = false;
  bool ended_ = false;
};

// The platform's wcstol with base 10 on a 32-bit long: leading white space,
// an optional sign, decimal digits up to the first other character; no
// digits give 0; out of range gives 2147483647 or -2147483648. `exact` is
// set when the whole text was one in-range number.
std::int32_t ParseLong(std::u16string_view text, bool* exact = nullptr);

}  // namespace qs
