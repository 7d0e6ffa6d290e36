#include "engine/script.h"

#include <cstdlib>

#include "common/record_layout.h"
#include "common/utf.h"

namespace qs::engine {

namespace {

class LineReader {
 public:
  explicit LineReader(std::string_view line) : rest_(line) {}

  void SkipSpace() {
    while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t')) rest_.remove_prefix(1);
  }
  bool AtEnd() {
    SkipSpace();
    return rest_.empty();
  }
  std::string_view Word() {
    SkipSpace();
    size_t n = 0;
    while (n < rest_.size() && rest_[n] != ' ' && rest_[n] != '\t' && rest_[n] != ',' && rest_[n] != '(' &&
           rest_[n] != ')')
      ++n;
    std::string_view word = rest_.substr(0, n);
    rest_.remove_prefix(n);
    return word;
  }
  bool Consume(char c) {
    SkipSpace();
    if (rest_.empty() || rest_.front() != c) return false;
    rest_.remove_prefix(1);
    return true;
  }
  bool Peek(char c) {
    SkipSpace();
    return !rest_.empty() && rest_.front() == c;
  }
  std::string_view Rest() {
    SkipSpace();
    return rest_;
  }

  // "TEXT" with the escapes \" \\ \n \t \uXXXX.
  bool Quoted(std::u16string& out) {
    if (!Consume('"')) return false;
    std::string raw;
    while (!rest_.empty()) {
      char c = rest_.front();
      rest_.remove_prefix(1);
      if (c == '"') {
        out += FromUtf8(raw);
        return true;
      }
      if (c != '\\' || rest_.empty()) {
        raw += c;
        continue;
      }
      char e = rest_.front();
      rest_.remove_prefix(1);
      switch (e) {
        case 'n': raw += '\n'; break;
        case 't': raw += '\t'; break;
        case 'u': {
          if (rest_.size() < 4) return false;
          const std::string hex(rest_.substr(0, 4));
          rest_.remove_prefix(4);
          char* end = nullptr;
          const long unit = std::strtol(hex.c_str(), &end, 16);
          if (*end != '\0') return false;
          out += FromUtf8(raw);
          raw.clear();
          out += static_cast<char16_t>(unit);
          break;
        }
        default: raw += e; break;  // \" \\ and anything else: the character itself
      }
    }
    return false;  // no closing quote
  }

 private:
  std::string_view rest_;
};

bool ParseInteger(std::string_view word, std::int64_t& value) {
  if (word.empty()) return false;
  const std::string s(word);
  char* end = nullptr;
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  value = hex ? static_cast<std::int64_t>(std::strtoull(s.c_str(), &end, 16)) : std::strtoll(s.c_str(), &end, 10);
  return *end == '\0';
}

bool ParseDouble(std::string_view word, double& value) {
  if (word.empty()) return false;
  const std::string s(word);
  char* end = nullptr;
  value = std::strtod(s.c_str(), &end);
  return *end == '\0';
}

// A number, or "$name" for a variable read when the statement runs.
bool ParseIntegerOrVariable(std::string_view word, std::int64_t& value, std::string& variable) {
  if (word.size() > 1 && word[0] == '$') {
    variable = std::string(word.substr(1));
    return true;
  }
  return ParseInteger(word, value);
}

bool ParseRecordField(LineReader& in, RecordField& field) {
  const std::string_view kind = in.Word();
  using K = RecordField::Kind;
  if (kind == "tid") { field.kind = K::ThreadKey; return true; }
  if (kind == "out") { field.kind = K::Out; return true; }
  if (kind == "outptr") { field.kind = K::OutPtr; return true; }
  if (kind == "int" || kind == "inout") {
    field.kind = kind == "int" ? K::Int : K::InOut;
    return ParseIntegerOrVariable(in.Word(), field.value, field.variable);
  }
  if (kind == "dbl") {
    field.kind = K::Double;
    return ParseDouble(in.Word(), field.number);
  }
  if (kind == "str") {
    if (in.Peek('"')) {
      field.kind = K::Str;
      return in.Quoted(field.text);
    }
    field.kind = K::NullStr;
    return in.Word() == "null";
  }
  return false;
}

bool ParseArgument(LineReader& in, Argument& argument, std::size_t pointerSize) {
  using K = Argument::Kind;
  if (in.Peek('"')) {
    argument.kind = K::Text;
    return in.Quoted(argument.text);
  }
  const std::string_view word = in.Word();
  if (word == "null") {
    argument.kind = K::Null;
    return true;
  }
  if (word == "buf") {
    argument.kind = K::Buffer;
    if (in.Consume('(')) {
      std::int64_t units = 0;
      if (!ParseInteger(in.Word(), units) || units <= 0 || !in.Consume(')')) return false;
      argument.bufferUnits = static_cast<std::size_t>(units);
    }
    return true;
  }
  if (word == "rec") {
    argument.kind = K::Record;
    if (!in.Consume('(')) return false;
    if (!in.Consume(')')) {
      do {
        RecordField field;
        if (!ParseRecordField(in, field)) return false;
        argument.fields.push_back(std::move(field));
      } while (in.Consume(','));
      if (!in.Consume(')')) return false;
    }
    LayOutRecord(argument, pointerSize);
    return true;
  }
  argument.kind = K::Int;
  return ParseIntegerOrVariable(word, argument.value, argument.variable);
}

// Reads one statement line into `statement`; false with `error` when it cannot.
bool ParseStatement(std::string_view keyword, LineReader& in, Statement& statement, std::size_t pointerSize,
                    std::string& error) {
  using K = Statement::Kind;
  if (keyword == "send" || keyword == "post") {
    statement.kind = keyword == "send" ? K::Send : K::Post;
    std::int64_t message = 0;
    if (!ParseInteger(in.Word(), message)) return error = "message number expected", false;
    statement.message = static_cast<std::uint32_t>(message);
    if (!ParseArgument(in, statement.wParam, pointerSize) || !ParseArgument(in, statement.lParam, pointerSize))
      return error = "bad argument", false;
    for (LineReader ahead = in; statement.kind == K::Send && !in.AtEnd(); ahead = in) {
      const std::string_view word = ahead.Word();
      if (word == "expect" && !statement.expect) {
        std::int64_t expected = 0;
        if (!ParseInteger(ahead.Word(), expected)) return error = "expected result missing", false;
        statement.expect = expected;
      } else if (word == "into" && statement.into.empty()) {
        statement.into = std::string(ahead.Word());
        if (statement.into.empty()) return error = "variable name missing", false;
      } else {
        break;
      }
      in = ahead;
    }
  } else if (keyword == "sleep" || keyword == "repeat" || keyword == "timed") {
    statement.kind = keyword == "sleep" ? K::Sleep : keyword == "repeat" ? K::Repeat : K::Timed;
    if (!ParseInteger(in.Word(), statement.count) || statement.count < 0) return error = "count expected", false;
  } else if (keyword == "start") {
    statement.kind = K::Start;
    statement.text = FromUtf8(in.Word());
    if (statement.text.empty()) return error = "function name expected", false;
  } else if (keyword == "usage") {
    statement.kind = K::Usage;
  } else if (keyword == "hold") {
    statement.kind = K::Hold;
    statement.text = FromUtf8(in.Rest());
    if (statement.text.empty()) return error = "file name expected", false;
    return true;
  } else if (keyword == "log") {
    statement.kind = K::Log;
    if (in.Peek('"')) {
      if (!in.Quoted(statement.text)) return error = "unterminated text", false;
    } else {
      statement.text = FromUtf8(in.Rest());
      return true;
    }
  } else {
    return error = "unknown statement '" + std::string(keyword) + "'", false;
  }
  if (!in.AtEnd()) return error = "unexpected text after the statement", false;
  return true;
}

}  // namespace

std::u16string Interpolate(std::u16string_view text, const std::map<std::string, std::u16string>& variables) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t close = text[i] == u'$' && i + 1 < text.size() && text[i + 1] == u'{' ? text.find(u'}', i) : std::u16string_view::npos;
    if (close == std::u16string_view::npos) {
      out += text[i];
      continue;
    }
    const auto found = variables.find(ToUtf8(text.substr(i + 2, close - i - 2)));
    if (found != variables.end()) out += found->second;
    i = close;
  }
  return out;
}

std::map<std::string, std::u16string> StartingVariables(std::u16string_view workDirectory) {
  return {{kWorkDirectoryVariable, std::u16string(workDirectory)}};
}

void LayOutRecord(Argument& record, std::size_t pointerSize) {
  std::size_t end = 0;
  for (RecordField& field : record.fields) {
    using K = RecordField::Kind;
    const FieldWidth width = field.kind == K::Str || field.kind == K::NullStr || field.kind == K::OutPtr
                                 ? FieldWidth::Pointer
                             : field.kind == K::Double ? FieldWidth::Double
                                                       : FieldWidth::Int32;
    field.offset = PlaceField(end, width, pointerSize);
    end = field.offset + FieldSize(width, pointerSize);
  }
  record.recordSize = AlignUp(end == 0 ? 4 : end, 8);
}

Script ParseScript(std::string_view text, std::size_t pointerSize) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Script script;
  std::vector<Statement>* function = nullptr;   // the function being read
  std::vector<std::vector<Statement>*> blocks;  // open repeat/timed bodies
  int lineNumber = 0;
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    LineReader in(line);
    if (in.AtEnd() || in.Peek('#')) continue;
    const std::string_view keyword = in.Word();
    auto fail = [&](const std::string& what) {
      script.errors.push_back("line " + std::to_string(lineNumber) + ": " + what);
    };

    if (keyword == "func") {
      if (function) fail("func inside a function");
      const std::u16string name = FromUtf8(in.Word());
      if (name.empty()) {
        fail("function name expected");
        function = nullptr;
        continue;
      }
      function = &script.functions[name];
      function->clear();
      blocks.clear();
      continue;
    }
    if (!function) {
      fail("statement outside a function");
      continue;
    }
    if (keyword == "end") {
      if (blocks.empty()) function = nullptr;
      else blocks.pop_back();
      continue;
    }
    Statement statement;
    statement.line = lineNumber;
    std::string error;
    if (!ParseStatement(keyword, in, statement, pointerSize, error)) {
      fail(error);
      continue;
    }
    std::vector<Statement>& target = blocks.empty() ? *function : *blocks.back();
    target.push_back(std::move(statement));
    if (target.back().kind == Statement::Kind::Repeat || target.back().kind == Statement::Kind::Timed)
      blocks.push_back(&target.back().body);
  }
  if (function) script.errors.push_back("line " + std::to_string(lineNumber) + ": missing end");
  return script;
}

}  // namespace qs::engine
