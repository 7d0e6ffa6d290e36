// api.xml: the names a project gives to plug-in call messages, so that a
// script writes dm.FindPic(...) for dm.call(2545, ...). The file lists one
// element per name:
//   <api>
//     <call message="2545" name="FindPic"/>
//   </api>
// Anything else in the file (the XML declaration, comments, other
// elements) is skipped.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qs::lua {

struct ApiNames {
  std::map<std::string, std::uint16_t, std::less<>> messages;  // name -> call message
  std::vector<std::string> errors;                             // "api.xml line N: ..."
};

// Reads the file's text (UTF-8, a byte-order mark allowed). A name must be a
// Lua identifier and given once; a message must be a plug-in call message.
ApiNames ReadApiNames(std::string_view xml);

}  // namespace qs::lua
