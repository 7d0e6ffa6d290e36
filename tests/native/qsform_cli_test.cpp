// The qsform program as an author runs it: what it prints and its exit
// codes (0 nothing to report, 1 findings, 2 unreadable or bad arguments).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "tests/support/form_file.h"

namespace qs::test {
namespace {

namespace fs = std::filesystem;

struct ProgramRun {
  int exitCode = -1;
  std::string output;  // standard output and error
};

ProgramRun Qsform(const std::string& arguments) {
  const fs::path out = fs::path(QS_SCRATCH_DIR) / "qsform.out";
  const std::string command = std::string("'") + QSFORM_PROGRAM + "' " + arguments + " >'" + out.string() + "' 2>&1";
  const int status = std::system(command.c_str());
  ProgramRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream file(out, std::ios::binary);
  run.output.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return run;
}

// A fresh project folder holding the given files.
fs::path Project(const std::string& name, std::initializer_list<std::pair<const char*, std::string>> files) {
  const fs::path dir = fs::path(QS_SCRATCH_DIR) / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const auto& [file, bytes] : files) std::ofstream(dir / file, std::ios::binary) << bytes;
  return dir;
}

const std::string kClean = FormFileBytes(u"w w \"c\" 0 0 400 300 |\n按钮 b \"x\" 1 1 30 30 | 鼠标单击:main.ok|\n窗口结束\n");

TEST(QsformProgram, ExitCodes) {
  const fs::path clean = Project("clean", {{"main.qwin", kClean}});
  const fs::path found = Project("findings", {{"main.qwin", FormFileBytes(u"w w \"c\" 0 0 400 300 |\n按扭 b \"x\" 1 1 30 30 |\n窗口结束\n")}});
  struct Case {
    const char* what;
    std::string arguments;
    int exitCode;
    std::optional<std::string> output;  // nothing: not compared
  };
  const Case cases[] = {
      {"a clean form", "check '" + (clean / "main.qwin").string() + "'", 0, ""},
      {"a form with findings", "check '" + (found / "main.qwin").string() + "'", 1,
       (found / "main.qwin").string() + ":2: unknown kind word '按扭'; the line is skipped\n"},
      {"dump always succeeds", "dump '" + (found / "main.qwin").string() + "'", 0, std::nullopt},
      {"a missing file", "check '" + (clean / "none.qwin").string() + "'", 2,
       "qsform: cannot read " + (clean / "none.qwin").string() + "\n"},
      {"a folder for a file", "check '" + clean.string() + "'", 2, "qsform: cannot read " + clean.string() + "\n"},
      {"no file", "check", 2, "usage: qsform dump FILE | qsform check FILE\n"},
      {"an unknown command", "show '" + (clean / "main.qwin").string() + "'", 2,
       "usage: qsform dump FILE | qsform check FILE\n"},
  };
  for (const Case& c : cases) {
    const ProgramRun run = Qsform(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.what << "\n" << run.output;
    if (c.output) {
      EXPECT_EQ(run.output, *c.output) << c.what;
    }
  }
}

TEST(QsformProgram, ALuaProjectsScriptIsCheckedAgainstItsForm) {
  const std::string luaEngine("MZ QSCmd\0QSLuaVersion\0", 23);
  const std::string script = "function main.ok()\n  start('main.gone')\nend\n";
  const fs::path lua = Project("lua", {{"main.qwin", kClean}, {"sourseTemp.bak", script}, {"scriptcore.dll", luaEngine}});
  const ProgramRun checked = Qsform("check '" + (lua / "main.qwin").string() + "'");
  EXPECT_EQ(checked.exitCode, 1);
  EXPECT_EQ(checked.output, lua.string() + "/sourseTemp.bak:2: start('main.gone') names no function of the script\n");
  // Another engine's script is its own business.
  const fs::path other = Project("other engine", {{"main.qwin", kClean}, {"sourseTemp.bak", "func main.x\nend\n"},
                                                 {"scriptcore.dll", "MZ QSCmd"}});
  const ProgramRun skipped = Qsform("check '" + (other / "main.qwin").string() + "'");
  EXPECT_EQ(skipped.exitCode, 0) << skipped.output;
}

TEST(QsformProgram, AUtf8FormIsNamedOnceAndHowToSaveIt) {
  const fs::path dir = Project("utf8", {{"main.qwin", "\xEF\xBB\xBF窗口 w \"c\" 0 0 400 300 |\r\n按钮 b \"确定\" 1 1 30 30 |\r\n窗口结束\r\n"}});
  const ProgramRun run = Qsform("check '" + (dir / "main.qwin").string() + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.output, (dir / "main.qwin").string() +
                            ":1: the file is UTF-8 text with a byte-order mark; the host reads main.qwin only as "
                            "UTF-16LE and would build an empty window. Save it as UTF-16LE with lines ending in CR LF: "
                            "in Notepad, Save As with the encoding \"UTF-16 LE\"; or iconv -f UTF-8 -t UTF-16LE\n");
}

TEST(QsformProgram, AProjectFileNamedLikeThePackageFileIsNamed) {
  for (const char* name : {"QS.lc", "qs.LC"}) {
    const fs::path dir = Project("package name", {{"main.qwin", kClean}, {name, "kept?"}, {"QS.lc.txt", "fine"}});
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "sub" / "QS.lc") << "fine below the root";
    const ProgramRun run = Qsform("check '" + (dir / "main.qwin").string() + "'");
    EXPECT_EQ(run.exitCode, 1) << name;
    EXPECT_EQ(run.output, dir.string() + "/" + name +
                              ": the host writes its package file under this name, unpacks it and deletes it, so this "
                              "file of the project is lost at start-up; rename it\n")
        << name;
  }
}

}  // namespace
}  // namespace qs::test
