#include "engine/lua/api_names.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "plugin/plugin_call_table.h"

namespace qs::lua {

namespace {

bool IsIdentifier(std::string_view name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return c == '_' || std::isalnum(static_cast<unsigned char>(c)); });
}

// Finds attribute `name` of the element text: false when it is not there.
bool Attribute(std::string_view element, std::string_view name, std::string_view& value) {
  for (std::size_t at = element.find(name); at != std::string_view::npos; at = element.find(name, at + 1)) {
    if (at > 0 && !std::isspace(static_cast<unsigned char>(element[at - 1]))) continue;
    std::size_t i = at + name.size();
    while (i < element.size() && std::isspace(static_cast<unsigned char>(element[i]))) ++i;
    if (i >= element.size() || element[i] != '=') continue;
    ++i;
    while (i < element.size() && std::isspace(static_cast<unsigned char>(element[i]))) ++i;
    if (i >= element.size() || (element[i] != '"' && element[i] != '\'')) continue;
    const char quote = element[i];
    const std::size_t end = element.find(quote, i + 1);
    if (end == std::string_view::npos) return false;
    value = element.substr(i + 1, end - i - 1);
    return true;
  }
  return false;
}

}  // namespace

ApiNames ReadApiNames(std::string_view xml) {
  ApiNames names;
  if (xml.substr(0, 3) == "\xEF\xBB\xBF") xml.remove_prefix(3);
  auto lineOf = [&](std::size_t at) { return 1 + std::count(xml.begin(), xml.begin() + at, '\n'); };
  auto fail = [&](std::size_t at, const std::string& what) {
    names.errors.push_back("api.xml line " + std::to_string(lineOf(at)) + ": " + what);
  };
  for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
    if (xml.substr(at, 4) == "<!--") {
      const std::size_t end = xml.find("-->", at + 4);
      if (end == std::string_view::npos) break;
      at = end;
      continue;
    }
    if (xml.substr(at, 5) != "<call" || at + 5 >= xml.size() ||
        !(std::isspace(static_cast<unsigned char>(xml[at + 5])) || xml[at + 5] == '/' || xml[at + 5] == '>'))
      continue;
    const std::size_t end = xml.find('>', at);
    if (end == std::string_view::npos) {
      fail(at, "<call without its closing >");
      break;
    }
    const std::string_view element = xml.substr(at + 5, end - at - 5);
    std::string_view name, message;
    if (!Attribute(element, "name", name) || !Attribute(element, "message", message)) {
      fail(at, "<call> needs a name and a message");
      continue;
    }
    int number = 0;
    const auto parsed = std::from_chars(message.data(), message.data() + message.size(), number);
    if (parsed.ec != std::errc() || parsed.ptr != message.data() + message.size() ||
        !FindPluginCall(static_cast<unsigned>(number))) {
      fail(at, "message \"" + std::string(message) + "\" is not a plug-in call message (2526-2666)");
      continue;
    }
    if (!IsIdentifier(name)) {
      fail(at, "name \"" + std::string(name) + "\" is not a Lua name");
      continue;
    }
    if (!names.messages.emplace(std::string(name), static_cast<std::uint16_t>(number)).second)
      fail(at, "name \"" + std::string(name) + "\" is given twice");
  }
  return names;
}

}  // namespace qs::lua
