// The stand-in engine's script reader and record layout.
#include <gtest/gtest.h>

#include "engine/script.h"

namespace qs::engine {
namespace {

TEST(EngineScript, ReadsFunctionsStatementsAndArguments) {
  const Script script = ParseScript(
      "\xEF\xBB\xBF# a comment\n"
      "func main.start\n"
      "  send 1525 \"标签1\" \"a\\\"b\\\\c\\n\\u4E2D\"\r\n"
      "  post 1526 null buf(8)\n"
      "  sleep 10\n"
      "  repeat 3\n"
      "    send 1557 \"p\" -5 expect -1\n"
      "  end\n"
      "  start main.other\n"
      "  log hello there\n"
      "end\n",
      4);
  ASSERT_TRUE(script.errors.empty()) << script.errors.front();
  const auto& body = script.functions.at(u"main.start");
  ASSERT_EQ(body.size(), 6u);
  EXPECT_EQ(body[0].kind, Statement::Kind::Send);
  EXPECT_EQ(body[0].message, 1525u);
  EXPECT_EQ(body[0].wParam.text, u"标签1");
  EXPECT_EQ(body[0].lParam.text, u"a\"b\\c\n\u4E2D");
  EXPECT_EQ(body[1].kind, Statement::Kind::Post);
  EXPECT_EQ(body[1].wParam.kind, Argument::Kind::Null);
  EXPECT_EQ(body[1].lParam.kind, Argument::Kind::Buffer);
  EXPECT_EQ(body[1].lParam.bufferUnits, 8u);
  EXPECT_EQ(body[2].count, 10);
  ASSERT_EQ(body[3].body.size(), 1u);
  EXPECT_EQ(body[3].body[0].lParam.value, -5);
  EXPECT_EQ(body[3].body[0].expect, -1);
  EXPECT_FALSE(body[0].expect);
  EXPECT_EQ(body[4].text, u"main.other");
  EXPECT_EQ(body[5].text, u"hello there");
}

TEST(EngineScript, ReportsWhatItCannotRead) {
  const Script script = ParseScript(
      "send 1 2 3\n"
      "func a.b\n"
      "  jump 4\n"
      "  send x 1 2\n"
      "  send 1 \"open 2\n"
      "  send 1 2 3 4\n",
      4);
  ASSERT_EQ(script.errors.size(), 6u);
  EXPECT_EQ(script.errors[0].rfind("line 1:", 0), 0u);
  EXPECT_EQ(script.errors[5], "line 6: missing end");
  EXPECT_TRUE(script.functions.at(u"a.b").empty());
}

TEST(EngineScript, VariablesCarryTextsAndNumbers) {
  const Script script = ParseScript(
      "func a.b\n"
      "  send 1528 \"名字\" buf expect 1 into name\n"
      "  send 1525 \"状态\" \"你好，${name}！\"\n"
      "  send 1557 \"进度\" $pos\n"
      "  send 1542 rec(str \"城市\", int $index) buf into city\n"
      "end\n",
      8);
  ASSERT_TRUE(script.errors.empty()) << script.errors.front();
  const auto& body = script.functions.at(u"a.b");
  EXPECT_EQ(body[0].into, "name");
  EXPECT_EQ(body[0].expect, 1);
  EXPECT_EQ(body[2].lParam.variable, "pos");
  EXPECT_EQ(body[3].wParam.fields[1].variable, "index");
  const std::map<std::string, std::u16string> variables = {{"name", u"张三"}};
  EXPECT_EQ(Interpolate(body[1].lParam.text, variables), u"你好，张三！");
  EXPECT_EQ(Interpolate(u"${missing}x${", variables), u"x${");
}

TEST(EngineScript, FunctionsStartWithTheWorkDirectory) {
  const Script script = ParseScript("func a.b\n  send 1555 \"图片\" \"${workdir}\\\\logo.png\"\nend\n", 8);
  ASSERT_TRUE(script.errors.empty()) << script.errors.front();
  const auto variables = StartingVariables(u"C:\\Temp\\1234demo");
  EXPECT_EQ(Interpolate(script.functions.at(u"a.b")[0].lParam.text, variables), u"C:\\Temp\\1234demo\\logo.png");
}

TEST(EngineScript, RecordsFollowTheLayoutRule) {
  // rec(tid, int, int, int, int, str, str, dbl, int, out, out): the 32-bit
  // offsets of the plug-in's largest record, and the same rule with 8-byte pointers.
  const char* text = "func a.b\n send 2527 rec(tid, int 1, int 2, int 3, int 4, str \"s\", str null, dbl 0.5, int 9, out, out) 0\nend\n";
  const std::size_t expected32[] = {0, 4, 8, 12, 16, 20, 24, 32, 40, 44, 48};
  const std::size_t expected64[] = {0, 4, 8, 12, 16, 24, 32, 40, 48, 52, 56};
  for (std::size_t pointerSize : {4u, 8u}) {
    const Script script = ParseScript(text, pointerSize);
    ASSERT_TRUE(script.errors.empty());
    const Argument& record = script.functions.at(u"a.b")[0].wParam;
    ASSERT_EQ(record.fields.size(), 11u);
    for (size_t i = 0; i < record.fields.size(); ++i)
      EXPECT_EQ(record.fields[i].offset, pointerSize == 4 ? expected32[i] : expected64[i]) << i;
    EXPECT_EQ(record.fields[6].kind, RecordField::Kind::NullStr);
  }
}

}  // namespace
}  // namespace qs::engine
