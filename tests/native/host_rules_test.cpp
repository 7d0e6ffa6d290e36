// The host's portable rules: the archive command split, the event split,
// the work directory name and the debug switch.
#include <gtest/gtest.h>

#include "host/command_split.h"
#include "host/debug_switch.h"
#include "host/event_split.h"
#include "host/work_dir_name.h"

namespace qs {
namespace {

using Args = std::vector<std::u16string>;

TEST(ArchiveCommandSplit, Cases) {
  struct Case {
    const char* rule;
    std::u16string command;
    Args expected;
  } cases[] = {
      {"the host's own command", u"x*-oC:\\Temp\\12demo*-y*C:\\Temp\\12demo\\QS.lc",
       {u"x", u"-oC:\\Temp\\12demo", u"-y", u"C:\\Temp\\12demo\\QS.lc"}},
      {"spaces stay inside an argument", u"x*-oC:\\My Temp\\1 a*-y", {u"x", u"-oC:\\My Temp\\1 a", u"-y"}},
      {"a quoted asterisk stays, the quotes go", u"a*\"b*c\"*d", {u"a", u"b*c", u"d"}},
      {"a leading asterisk gives no empty first argument", u"*x*y", {u"x", u"y"}},
      {"two asterisks give no empty argument", u"x**y", {u"x", u"y"}},
      {"a trailing asterisk adds nothing", u"x*", {u"x"}},
      {"an empty argument at the end of the text counts", u"x*\"\"", {u"x", u""}},
      {"quotes before an asterisk make an empty argument", u"\"\"*x", {u"", u"x"}},
      {"spaces, tabs and line feeds are trimmed at both ends", u" \t\nx*y \n\t", {u"x", u"y"}},
      {"other white space is not trimmed", u"\rx", {u"\rx"}},
      {"nothing left", u"  ", {}},
      {"an unclosed quote runs to the end", u"a*\"b*c", {u"a", u"b*c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitArchiveCommand(c.command), c.expected) << c.rule;
}

TEST(EventSplit, FirstFullStopSeparatesModuleAndFunction) {
  struct Case {
    std::u16string event, module, function;
  } cases[] = {
      {u"main.start", u"main", u"start"}, {u"a.b.c", u"a", u"b.c"}, {u"start", u"", u"start"},
      {u".start", u"", u"start"},         {u"main.", u"main", u""}, {u"", u"", u""},
      {u" main . x ", u" main ", u" x "},
  };
  for (const Case& c : cases) {
    const ScriptFunction f = SplitEventString(c.event);
    EXPECT_EQ(f.module, c.module);
    EXPECT_EQ(f.function, c.function);
  }
}

TEST(WorkDirectoryName, TempPathPidAndTitleWithoutSeparator) {
  EXPECT_EQ(FileTitle(u"C:\\apps\\a.b.exe"), u"a.b");
  EXPECT_EQ(FileTitle(u"C:\\apps.d\\demo"), u"demo");
  EXPECT_EQ(FileTitle(u"demo.exe"), u"demo");
  EXPECT_EQ(WorkDirectoryPath(u"T:\\Tmp\\", 7, FileTitle(u"X:\\a.b.exe")), u"T:\\Tmp\\7a.b");
  EXPECT_EQ(WorkDirectoryPath(u"C:\\Users\\a\\AppData\\Local\\Temp\\", 3120, u"demo"),
            u"C:\\Users\\a\\AppData\\Local\\Temp\\3120demo");
}

TEST(DebugSwitch, WholeTrimmedLineMustMatch) {
  struct Case {
    std::u16string commandLine;
    bool debug;
  } cases[] = {
      {u"qsdebug", true},
      {u"  qsdebug\t", true},
      {u"\tqsdebug \r\n", true},
      {u"\u3000qsdebug\u3000", true},  // ideographic space is white space too
      {u"QSDEBUG", false},
      {u"x qsdebug", false},
      {u"\"C:\\demo.exe\" qsdebug", false},
      {u"qs debug", false},
      {u"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsDebugSwitch(c.commandLine), c.debug);
}

}  // namespace
}  // namespace qs
