// qsform's checks of a Lua project's script against its form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/utf.h"
#include "tools/qsform/script_check.h"

namespace qs::qsform {
namespace {

std::string Utf16Form(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

std::vector<std::string> Lines(const Findings& findings) {
  std::vector<std::string> lines;
  for (const Finding& f : findings) lines.push_back(std::to_string(f.line) + ": " + f.text);
  return lines;
}

const std::u16string kForm =
    u"窗口 w \"x\" 0 0 300 200 | 窗口初始化:main.init|窗口销毁:main.quit|\r\n"
    u"按钮 b1 \"ok\" 10 10 80 30 | 鼠标单击:main.ok|\r\n"
    u"按钮 b2 \"no\" 10 40 80 60 | 鼠标单击:main.missing|\r\n"
    u"窗口结束\r\n";

TEST(ScriptCheck, FormEventsWithTheirLines) {
  const std::vector<FormEvent> events = FormEventsOf(Utf16Form(kForm));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].line, 1);
  EXPECT_EQ(ToUtf8(events[1].value), "main.quit");
  EXPECT_EQ(events[3].line, 3);
  EXPECT_EQ(ToUtf8(events[3].value), "main.missing");
}

TEST(ScriptCheck, Cases) {
  const std::vector<FormEvent> events = FormEventsOf(Utf16Form(kForm));
  const struct {
    const char* what;
    std::string script;
    std::vector<std::string> script_findings, form_findings;
  } cases[] = {
      {"every name defined, both ways, a start in a comment",
       "\xEF\xBB\xBF" "function main.init() start('main.later') end\n"
       "main.quit = function() end\nfunction main:ok() end\nfunction main.missing() end\n"
       "function main.later() -- start('main.nope')\nend\n",
       {}, {}},
      {"a syntax error: nothing else is read", "function main.init()\n  log('x'\nend\n",
       {"3: ')' expected (to close '(' at line 2) near 'end'"}, {}},
      {"events and starts that name no function",
       "function main.init()\n  start(\"main.gone\")\nend\nfunction main.quit() end\nfunction main.ok() end\n",
       {"2: start('main.gone') names no function of the script"},
       {"3: the event 'main.missing' names no function of sourseTemp.bak"}},
      {"an error at the top level, before the rest is defined",
       "function main.init() end\nlocal t = nil\nprint(t.x)\nfunction main.quit() end\n",
       {"3: the top level stops with an error: attempt to index a nil value (local 't')"},
       {"1: the event 'main.quit' names no function of sourseTemp.bak",
        "2: the event 'main.ok' names no function of sourseTemp.bak",
        "3: the event 'main.missing' names no function of sourseTemp.bak"}},
      {"a top level that never ends", "function main.init() end\nwhile true do end\n",
       {"2: the top level stops with an error: the top level does not end (it runs before every event)"},
       {"1: the event 'main.quit' names no function of sourseTemp.bak",
        "2: the event 'main.ok' names no function of sourseTemp.bak",
        "3: the event 'main.missing' names no function of sourseTemp.bak"}},
      {"host calls at the top level do nothing",
       "label.set('a', 'b')\nlocal x = dm.FindPic(1, 2)\nfunction main.init() end\nfunction main.quit() end\n"
       "function main.ok() end\nfunction main.missing() end\n",
       {}, {}},
  };
  for (const auto& c : cases) {
    const ScriptFindings f = CheckScript(c.script, "sourseTemp.bak", events);
    EXPECT_EQ(Lines(f.script), c.script_findings) << c.what;
    EXPECT_EQ(Lines(f.form), c.form_findings) << c.what;
  }
}

TEST(ScriptCheck, TellsTheLuaEngineByItsExport) {
  EXPECT_TRUE(IsLuaEngine(std::string("MZ...QSCmd\0QSLuaVersion\0QSSetExeHandle", 38)));
  EXPECT_FALSE(IsLuaEngine(std::string("MZ...QSCmd\0QSLuaVersionX\0", 26)));
}

}  // namespace
}  // namespace qs::qsform
