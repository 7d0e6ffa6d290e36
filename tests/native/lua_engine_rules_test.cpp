// The Lua engine's portable rules: the names api.xml gives to plug-in call
// messages, and the table of named control operations.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/lua/api_names.h"
#include "engine/lua/named_operations.h"

namespace qs::lua {
namespace {

TEST(ApiNames, ReadsCallElementsInAnyAttributeOrderAndSkipsTheRest) {
  const ApiNames names = ReadApiNames(
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<api>\n"
      "  <!-- <call message=\"2529\" name=\"Commented\"/> -->\n"
      "  <call message=\"2545\" name=\"FindPic\"/>\n"
      "  <call name='Ver' message='2541' />\n"
      "  <caller message=\"2536\" name=\"NotACall\"/>\n"
      "</api>\n");
  EXPECT_TRUE(names.errors.empty()) << names.errors.front();
  EXPECT_EQ(names.messages.size(), 2u);
  EXPECT_EQ(names.messages.at("FindPic"), 2545);
  EXPECT_EQ(names.messages.at("Ver"), 2541);
}

TEST(ApiNames, ReportsEachBadElementWithItsLine) {
  const struct {
    const char* element;
    const char* error;
  } cases[] = {
      {"<call name=\"X\"/>", "api.xml line 2: <call> needs a name and a message"},
      {"<call message=\"1525\" name=\"X\"/>", "api.xml line 2: message \"1525\" is not a plug-in call message (2526-2666)"},
      {"<call message=\"2525\" name=\"X\"/>", "api.xml line 2: message \"2525\" is not a plug-in call message (2526-2666)"},
      {"<call message=\"25x\" name=\"X\"/>", "api.xml line 2: message \"25x\" is not a plug-in call message (2526-2666)"},
      {"<call message=\"2545\" name=\"1st\"/>", "api.xml line 2: name \"1st\" is not a Lua name"},
      {"<call message=\"2545\" name=\"a-b\"/>", "api.xml line 2: name \"a-b\" is not a Lua name"},
      {"<call message=\"2545\" name=\"Ver\"/>", "api.xml line 2: name \"Ver\" is given twice"},
  };
  for (const auto& c : cases) {
    const ApiNames names = ReadApiNames(std::string("<api><call message=\"2541\" name=\"Ver\"/>\n") + c.element + "\n</api>");
    ASSERT_EQ(names.errors.size(), 1u) << c.element;
    EXPECT_EQ(names.errors[0], c.error);
    EXPECT_EQ(names.messages.at("Ver"), 2541) << "the good element stays";
  }
}

TEST(NamedOperations, EachNameOnceAndEveryMessageAControlOperation) {
  std::set<std::string> seen;
  std::set<unsigned> messages;
  for (const NamedOperation& op : NamedOperations()) {
    EXPECT_TRUE(seen.insert(std::string(op.family) + "." + std::string(op.name)).second) << op.name;
    EXPECT_GE(op.message, 1525);
    EXPECT_LE(op.message, 1582);
    messages.insert(op.message);
  }
  // Every message that has a handler has a name (1547, 1551, 1552, 1556,
  // 1561-1563 and 1573 have none).
  EXPECT_EQ(messages.size(), 58u - 8u);
}

}  // namespace
}  // namespace qs::lua
