#include "host/command_split.h"

namespace qs {

namespace {

constexpr bool IsCommandSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

}  // namespace

std::vector<std::u16string> SplitArchiveCommand(std::u16string_view command) {
  while (!command.empty() && IsCommandSpace(command.back())) command.remove_suffix(1);
  while (!command.empty() && IsCommandSpace(command.front())) command.remove_prefix(1);

  std::vector<std::u16string> arguments;
  while (!command.empty()) {
    std::u16string argument;
    bool quoting = false;
    size_t i = 0;
    for (; i < command.size(); ++i) {
      const char16_t c = command[i];
      if (c == u'"') {
        quoting = !quoting;
      } else if (c == u'*' && !quoting) {
        break;
      } else {
        argument += c;
      }
    }
    if (i == command.size()) {  // ended at the end of the text
      arguments.push_back(std::move(argument));
      break;
    }
    if (i != 0) arguments.push_back(std::move(argument));  // a leading '*' adds nothing
    command.remove_prefix(i + 1);
  }
  return arguments;
}

}  // namespace qs
