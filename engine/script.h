// The stand-in engine's script language (also the demo's): functions named
// "MODULE.FUNCTION" made of one statement per line. See docs/engine-script.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qs::engine {

// One field of a rec(...) argument.
struct RecordField {
  enum class Kind { ThreadKey, Int, Str, NullStr, Double, Out, InOut, OutPtr };
  Kind kind = Kind::Int;
  std::int64_t value = 0;  // Int, InOut
  std::string variable;    // Int, InOut: "$name" takes the value of a variable when sent
  double number = 0;       // Double
  std::u16string text;     // Str
  std::size_t offset = 0;  // filled by LayOutRecord
};

// One argument of send/post (wParam or lParam).
struct Argument {
  enum class Kind { Int, Text, Null, Buffer, Record };
  Kind kind = Kind::Int;
  std::int64_t value = 0;          // Int
  std::string variable;            // Int: "$name" takes the value of a variable when sent
  std::u16string text;             // Text
  std::size_t bufferUnits = 4096;  // Buffer
  std::vector<RecordField> fields; // Record
  std::size_t recordSize = 0;      // Record, filled by LayOutRecord
};

struct Statement {
  enum class Kind { Send, Post, Sleep, Start, Log, Repeat, Timed, Hold, Usage };
  Kind kind = Kind::Log;
  int line = 0;
  std::uint32_t message = 0;           // Send, Post
  Argument wParam, lParam;             // Send, Post
  std::optional<std::int64_t> expect;  // Send: the result it should give
  std::string into;                    // Send: the variable that gets the text or result back
  std::int64_t count = 0;              // Sleep (ms), Repeat, Timed
  std::u16string text;                 // Start (function), Log (text), Hold (file)
  std::vector<Statement> body;         // Repeat, Timed
};

struct Script {
  std::map<std::u16string, std::vector<Statement>> functions;  // "module.function" -> body
  std::vector<std::string> errors;                             // "line N: what"
};

// Reads a script (UTF-8, a byte-order mark allowed). Lines it cannot read
// are listed in errors and skipped.
Script ParseScript(std::string_view text, std::size_t pointerSize);

// Places the fields of a record by the layout rule for this pointer size.
void LayOutRecord(Argument& record, std::size_t pointerSize);

// Texts may hold ${name}: replaced by the variable's text when sent.
std::u16string Interpolate(std::u16string_view text, const std::map<std::string, std::u16string>& variables);

// The variable every function starts with: the work directory the host
// gave by QSSetExeTempPath. The host reads a relative file name of message
// 1555 from its current directory, which after start-up is the folder the
// program was started in; "${workdir}\\logo.png" names the packed file.
inline constexpr char kWorkDirectoryVariable[] = "workdir";
std::map<std::string, std::u16string> StartingVariables(std::u16string_view workDirectory);

// The value sentinel a fresh "buf" is filled with.
inline constexpr char16_t kBufferSentinel = 0xA5A5;

}  // namespace qs::engine
