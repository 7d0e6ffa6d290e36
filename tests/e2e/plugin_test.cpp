// The plug-in bridge through the stand-in engine and the stand-in plug-in
// (dmstub.dll, registered for the current user of the test prefix).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "tests/e2e/e2e_support.h"

namespace qs::test {
namespace {

const char16_t kForm[] = u"窗口 w \"插件\" 0 0 300 200 | 窗口初始化:main.init|\n窗口结束\n";

class Plugin : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(RegisterPluginStub(true)); }

  // Packs and starts a project with the script; the plug-in logs beside it.
  void Start(const std::wstring& name, const std::string& script, const std::string& overrides = "") {
    Project project(name);
    exe_ = project.Form(kForm).Script(script).Engine().Pack();
    ASSERT_FALSE(exe_.empty());
    const std::wstring base = exe_.substr(0, exe_.find_last_of(L'\\'));
    pluginLog_ = base + L"\\plugin.log";
    DeleteFileW(pluginLog_.c_str());
    WriteFileBytes(base + L"\\overrides.txt", overrides);
    driver::StartOptions options;
    options.environment = {{L"QSPLUGIN_LOG", pluginLog_}, {L"QSPLUGIN_SCRIPT", base + L"\\overrides.txt"}};
    run_ = std::make_unique<HostRun>(exe_, options);
    ASSERT_TRUE(run_->host().WaitForMainWindow(30000));
  }

  std::vector<std::string> PluginLog() const {
    std::vector<std::string> lines;
    const std::string text = driver::ReadFileText(pluginLog_);
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
      end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }

  // The results ("-> ..." tails) of the sends of one script function.
  std::vector<std::string> Results(const std::string& function) const {
    std::vector<std::string> results;
    for (const std::string& line : run_->LogLines())
      if (line.rfind(function + ": send ", 0) == 0) results.push_back(line.substr(line.find(" -> ") + 4));
    return results;
  }

  std::wstring exe_, pluginLog_;
  std::unique_ptr<HostRun> run_;
};

std::string Render(double value) {
  char text[32];
  snprintf(text, sizeof text, "%g", value);
  return text;
}

// One row of the documented table (docs/plugin-calls.md, copied beside the
// tests): the expectations come from there, written apart from the host's
// table, so that a wrong number, kind, offset, result or DISPID in the
// host's table fails the test.
struct DocumentedRow {
  int message = 0, dispid = 0;
  std::vector<std::string> kinds;     // int, str, dbl, out, inout
  std::vector<std::size_t> offsets;   // for this build's pointer size
  std::string result;                 // int, int as 0/1, text, text, returns 0, text, returns lParam
  std::string noObject;
};

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  size_t at = line.find('|') + 1;
  for (size_t next; (next = line.find('|', at)) != std::string::npos; at = next + 1) {
    std::string cell = line.substr(at, next - at);
    cell.erase(0, cell.find_first_not_of(' '));
    cell.erase(cell.find_last_not_of(' ') + 1);
    cells.push_back(cell);
  }
  return cells;
}

std::vector<std::string> Split(const std::string& list) {
  std::vector<std::string> items;
  for (size_t at = 0; at < list.size();) {
    size_t next = list.find(',', at);
    if (next == std::string::npos) next = list.size();
    std::string item = list.substr(at, next - at);
    item.erase(0, item.find_first_not_of(' '));
    items.push_back(item);
    at = next + 1;
  }
  return items;
}

std::vector<DocumentedRow> DocumentedRows() {
  std::vector<DocumentedRow> rows;
  const std::string doc = driver::ReadFileText(BinDir() + L"\\plugin-calls.md");
  for (size_t at = 0, end; at < doc.size(); at = end + 1) {
    end = doc.find('\n', at);
    if (end == std::string::npos) end = doc.size();
    const std::string line = doc.substr(at, end - at);
    if (line.rfind("| 2", 0) != 0) continue;
    const std::vector<std::string> cells = Cells(line);
    if (cells.size() != 6) continue;
    DocumentedRow row;
    row.message = std::stoi(cells[0]);
    row.dispid = std::stoi(cells[1]);
    std::string arguments = cells[2].substr(0, cells[2].find(" ("));
    if (arguments != "none") {
      for (const std::string& argument : Split(arguments)) {
        row.kinds.push_back(argument.substr(0, argument.find(':')));
        if (sizeof(void*) == 4) row.offsets.push_back(std::stoul(argument.substr(argument.find(':') + 1)));
      }
      if (sizeof(void*) == 8)
        for (const std::string& offset : Split(cells[3])) row.offsets.push_back(std::stoul(offset));
    }
    row.result = cells[4];
    row.noObject = cells[5];
    rows.push_back(row);
  }
  return rows;
}

struct RowCase {
  std::string statement;     // the send
  std::string pluginCall;    // the plug-in's log line
  std::string resultPrefix;  // the send's result (empty: the buffer's address)
  std::string tail;          // what follows the result: slots, buffer
};

RowCase CaseFor(const DocumentedRow& row) {
  RowCase c;
  std::string fields = "tid", types, values, slots;
  for (std::size_t k = 0; k < row.kinds.size(); ++k) {
    const std::string sep = k ? "," : "", kind = row.kinds[k];
    const std::string at = k < row.offsets.size() ? std::to_string(row.offsets[k]) : "?";
    if (kind == "int") {
      fields += ", int " + std::to_string(k + 1);
      types += sep + "I4";
      values += sep + std::to_string(k + 1);
    } else if (kind == "str") {
      fields += ", str \"s" + std::to_string(k) + "\"";
      types += sep + "BSTR";
      values += sep + "s" + std::to_string(k);
    } else if (kind == "dbl") {
      fields += ", dbl " + Render(k + 0.5);
      types += sep + "R8";
      values += sep + Render(k + 0.5);
    } else if (kind == "out") {
      fields += ", out";
      types += sep + "BYREF|VARIANT";
      values += sep + "o";
      slots += " out@" + at + "=" + std::to_string(row.dispid * 100 + static_cast<int>(k) + 1);
    } else if (kind == "inout") {
      fields += ", inout " + std::to_string((k + 1) * 10);
      types += sep + "BYREF|VARIANT";
      values += sep + "o" + std::to_string((k + 1) * 10);
      slots += " inout@" + at + "=" + std::to_string((k + 1) * 10 + 1000);
    } else {
      fields += ", ?" + kind;
    }
  }
  const bool text = row.result.rfind("text", 0) == 0;
  c.statement = "send " + std::to_string(row.message) + " rec(" + fields + ") " + (text ? "buf" : "0");
  c.pluginCall = "call " + std::to_string(row.dispid) + " flags=1 types=" + types + " values=" + values;
  if (row.result == "int") c.resultPrefix = std::to_string(row.dispid * 1000 + static_cast<int>(row.kinds.size()));
  else if (row.result == "int as 0/1") c.resultPrefix = "1";
  else if (row.result == "text") c.resultPrefix = "1";
  else if (row.result == "text, returns 0") c.resultPrefix = "0";
  c.tail = slots;
  if (text) {
    const std::string result = "d" + std::to_string(row.dispid) + ":" + values;
    c.tail += " buf=\"" + result + "\" len=" + std::to_string(result.size()) + " touched=" + std::to_string(result.size() + 1);
  }
  return c;
}

TEST_F(Plugin, EveryCallMessage) {
  const std::vector<DocumentedRow> rows = DocumentedRows();
  ASSERT_EQ(rows.size(), 136u) << "the documented table is not read whole";
  std::vector<RowCase> cases;
  std::string script = "func main.init\n  send 2525 rec(tid) 0 expect 1\n", overrides;
  for (const DocumentedRow& row : rows) {
    cases.push_back(CaseFor(row));
    script += "  " + cases.back().statement + "\n";
    // The stand-in answers with a number unless told to echo a text.
    if (row.result.rfind("text", 0) == 0) overrides += std::to_string(row.dispid) + " echo\n";
  }
  script += "  send 2530 rec(tid) 0\n  send 2555 rec(tid) 0\n  send 2638 rec(tid) 0\n  log done\nend\n";
  Start(L"plugin rows", script, overrides);
  ASSERT_TRUE(run_->WaitForLog("main.init: log done", 60000));
  const std::vector<std::string> results = Results("main.init");
  ASSERT_EQ(results.size(), cases.size() + 4);
  std::vector<std::string> calls;
  for (const std::string& line : PluginLog())
    if (line.rfind("call ", 0) == 0) calls.push_back(line);
  ASSERT_EQ(calls.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    const RowCase& c = cases[i];
    const std::string& got = results[i + 1];
    const std::string result = got.substr(0, got.find(' '));
    if (c.resultPrefix.empty()) EXPECT_TRUE(result != "0" && result != "1") << c.statement;  // the buffer's address
    else EXPECT_EQ(result, c.resultPrefix) << c.statement;
    EXPECT_EQ(got.substr(result.size()), c.tail) << c.statement;
    EXPECT_EQ(calls[i], c.pluginCall) << c.statement;
  }
  for (size_t i = cases.size() + 1; i < results.size(); ++i) EXPECT_EQ(results[i], "0");  // 2530, 2555, 2638
  ASSERT_TRUE(run_->CloseAndWait());
  const std::vector<std::string> log = PluginLog();
  EXPECT_EQ(log.back(), "destroy 1");  // released by the close sequence
  EXPECT_TRUE(run_->host().boxes().empty());
}

// Without an object every documented row answers its documented value, and
// 2526 still asks for the privilege.
TEST_F(Plugin, EveryCallMessageWithoutAnObject) {
  std::string script = "func main.init\n";
  std::vector<std::string> wanted;
  for (const DocumentedRow& row : DocumentedRows()) {
    script += "  send " + std::to_string(row.message) + " rec(tid, int 1, int 2) buf\n";
    wanted.push_back(row.noObject + " buf=untouched");
  }
  script += "  log done\nend\n";
  Start(L"plugin no object", script);
  ASSERT_TRUE(run_->WaitForLog("main.init: log done", 60000));
  EXPECT_EQ(Results("main.init"), wanted);
  for (const std::string& line : PluginLog()) EXPECT_NE(line.rfind("call ", 0), 0u) << line;
  ASSERT_TRUE(run_->CloseAndWait());
}

TEST_F(Plugin, ResultsAndFailures) {
  Start(L"plugin results",
        "func main.init\n"
        "  send 2529 rec(tid) 0\n"                     // no object yet: 0
        "  send 2527 rec(tid, int 1, int 2, int 3, int 4, str \"a\", str \"b\", dbl 1.5, int 5, out, out) 0\n"
        "  send 2536 rec(tid) buf\n"
        "  send 2633 rec(tid, int 1, int 2, int 3, int 4, str \"a\", str \"b\", dbl 1.5) buf\n"
        "  send 2526 rec(tid, int 1, str \"a\", str null, str \"c\", int 2) 0\n"
        "  send 2525 rec(tid) 0\n"
        "  send 2529 rec(tid) 0\n"                     // -7
        "  send 2536 rec(tid) buf\n"                   // 5,000 characters: cut to 1022
        "  send 2537 rec(tid) buf\n"                   // null string: buffer untouched
        "  send 2541 rec(tid) buf\n"                   // an exception: no result
        "  send 2532 rec(tid, int 1) 0\n"              // a result that is no number
        "  send 2562 rec(tid, str \"x\") 0\n"          // 0 -> 0
        "  send 2633 rec(tid, int 1, int 2, int 3, int 4, str \"a\", str null, dbl 1.5) buf\n"
        "  send 2529 rec(tid) 0\n"                     // still serving after the failures
        "  log done\n"
        "end\n",
        "4 int -7\n2 str5000\n107 nullstr\n1 exception\n186 str abc\n95 int 0\n194 echo\n");
  ASSERT_TRUE(run_->WaitForLog("main.init: log done", 30000));
  const std::vector<std::string> r = Results("main.init");
  ASSERT_EQ(r.size(), 14u);
  EXPECT_EQ(r[0], "0");
  const std::vector<DocumentedRow> rows = DocumentedRows();
  const auto row2527 = std::find_if(rows.begin(), rows.end(), [](const DocumentedRow& row) { return row.message == 2527; });
  ASSERT_NE(row2527, rows.end());
  ASSERT_EQ(row2527->offsets.size(), 10u);
  EXPECT_EQ(r[1], "-1 out@" + std::to_string(row2527->offsets[8]) + "=-1515870811 out@" +
                      std::to_string(row2527->offsets[9]) + "=-1515870811");  // record untouched
  EXPECT_EQ(r[2], "0 buf=untouched");
  EXPECT_EQ(r[3], "1 buf=untouched");
  EXPECT_EQ(r[4], "0");
  EXPECT_EQ(r[5], "1");
  EXPECT_EQ(r[6], "-7");
  EXPECT_EQ(r[7], "1 buf=\"A" + std::string(1021, 'z') + "\" len=1022 touched=1023");
  EXPECT_EQ(r[8], "1 buf=untouched");
  EXPECT_EQ(r[9], "0 buf=untouched");
  EXPECT_EQ(r[10], "0");
  EXPECT_EQ(r[11], "0");
  EXPECT_EQ(r[12], "0 buf=\"d194:1,2,3,4,a,(null),1.5\" len=25 touched=26");  // a null string arrives as a null BSTR
  EXPECT_EQ(r[13], "-7");
  ASSERT_TRUE(run_->CloseAndWait());
}

TEST_F(Plugin, ObjectsPerThread) {
  std::string script = "func main.init\n";
  for (int t = 1; t <= 33; ++t) script += "  start main.t" + std::to_string(t) + "\n";
  script += "  start main.twice\n  start main.cycle\nend\n";
  for (int t = 1; t <= 33; ++t)
    script += "func main.t" + std::to_string(t) + "\n  sleep " + std::to_string(t * 30) +
              "\n  send 2525 rec(tid) 0\n  sleep 4000\n  send 2529 rec(tid) 0\n  log alive\n  sleep 3000\nend\n";
  script += "func main.twice\n  sleep 1500\n  send 2528 rec(tid) 0\n  log released\nend\n";
  script += "func main.cycle\n  send 2531 rec(tid) 0\nend\n";
  Start(L"plugin threads", script);
  ASSERT_TRUE(run_->WaitForLog("main.t33: send 2525", 30000));
  // Thirty-two objects; the thirty-third creation returns 0, without a box.
  int created = 0, refused = 0;
  for (int t = 1; t <= 33; ++t) {
    const std::vector<std::string> r = Results("main.t" + std::to_string(t));
    ASSERT_FALSE(r.empty());
    created += r[0] == "1";
    refused += r[0] == "0";
  }
  EXPECT_EQ(created, 32);
  EXPECT_EQ(refused, 1);
  EXPECT_TRUE(run_->host().boxes().empty());
  ASSERT_TRUE(run_->WaitForLog("main.t33: log alive", 30000));
  int serving = 0;
  for (int t = 1; t <= 33; ++t) {
    const std::vector<std::string> r = Results("main.t" + std::to_string(t));
    serving += r.size() == 2 && r[1] == "4000";
  }
  EXPECT_EQ(serving, 32);
  ASSERT_TRUE(run_->CloseAndWait());
  int destroyed = 0;
  for (const std::string& line : PluginLog()) destroyed += line.rfind("destroy ", 0) == 0;
  EXPECT_EQ(destroyed, 32);
}

TEST_F(Plugin, CreateReleaseQuery) {
  Start(L"plugin lifecycle",
        "func main.init\n  start main.a\n  start main.b\n  start main.c\nend\n"
        "func main.a\n"
        "  send 2531 rec(tid) 0\n  send 2525 rec(tid) 0\n  send 2531 rec(tid) 0\n"
        "  send 2525 rec(tid) 0\n  send 2529 rec(tid) 0\n"          // a second create: box, 0; the first serves
        "  sleep 1500\n  send 2529 rec(tid) 0\n"
        "  send 2528 rec(tid) 0\n  send 2531 rec(tid) 0\n  send 2528 rec(tid) 0\n  send 2529 rec(tid) 0\nend\n"
        "func main.b\n  sleep 300\n  send 2525 rec(tid) 0\n  sleep 400\n  send 2528 rec(tid) 0\n  log b released\nend\n"
        "func main.c\n  sleep 500\n  send 2525 rec(tid) 0\n  sleep 1200\n  send 2529 rec(tid) 0\nend\n");
  ASSERT_TRUE(run_->WaitForLog("main.a: send 2529 rec 0 -> 0", 30000));
  ASSERT_TRUE(run_->WaitForLog("main.c: send 2529", 30000));
  EXPECT_EQ(Results("main.a"), (std::vector<std::string>{"0", "1", "1", "0", "4000", "4000", "1", "0", "0", "0"}));
  EXPECT_EQ(Results("main.b"), (std::vector<std::string>{"1", "1"}));
  EXPECT_EQ(Results("main.c"), (std::vector<std::string>{"1", "4000"}));  // still served after the middle one left
  ASSERT_EQ(run_->host().boxes().size(), 1u);
  EXPECT_EQ(run_->host().boxes()[0].text, L"创建大漠对象失败,或者此线程已经创建过大漠对象!");
  ASSERT_TRUE(run_->CloseAndWait());
}

TEST_F(Plugin, NotRegisteredThenRegistered) {
  ASSERT_TRUE(RegisterPluginStub(false));
  Start(L"plugin missing",
        "func main.init\n  send 2525 rec(tid) 0\n  send 2525 rec(tid) 0\n  log waiting\n  sleep 3000\n"
        "  send 2525 rec(tid) 0\n  send 2529 rec(tid) 0\nend\n");
  ASSERT_TRUE(run_->WaitForLog("main.init: log waiting", 30000));
  // The class identifier is looked up again at each creation: registering
  // while the host runs makes the next one succeed.
  ASSERT_TRUE(RegisterPluginStub(true));
  ASSERT_TRUE(run_->WaitForLog("main.init: send 2529", 30000));
  EXPECT_EQ(Results("main.init"), (std::vector<std::string>{"0", "0", "1", "4000"}));
  EXPECT_TRUE(run_->host().boxes().empty());
  ASSERT_TRUE(run_->CloseAndWait());
}

// Creations handled at overlapping times: the first one serves the second
// while it is being created. Each thread keeps its own object, both are
// released, nothing is lost.
TEST_F(Plugin, CreationsThatOverlap) {
  const std::string thread = "  send 2525 rec(tid) 0\n  send 2529 rec(tid) 0\n  send 2529 rec(tid) 0\n"
                             "  send 2528 rec(tid) 0\n  log finished\n";
  Start(L"plugin overlapping creation",
        "func main.init\n  start main.a\n  start main.b\nend\nfunc main.a\n" + thread + "end\nfunc main.b\n" + thread +
            "end\n",
        "pump create\n4 serial\n");
  ASSERT_TRUE(run_->WaitForLog("main.a: log finished", 30000));
  ASSERT_TRUE(run_->WaitForLog("main.b: log finished", 30000));
  const std::vector<std::string> a = Results("main.a"), b = Results("main.b");
  ASSERT_EQ(a.size(), 4u);
  ASSERT_EQ(b.size(), 4u);
  EXPECT_EQ(a[0], "1");
  EXPECT_EQ(b[0], "1");
  // The serial numbers of two different objects, each thread always its own.
  EXPECT_EQ(a[1], a[2]);
  EXPECT_EQ(b[1], b[2]);
  EXPECT_EQ(std::set<std::string>({a[1], b[1]}), std::set<std::string>({"1", "2"}));
  EXPECT_EQ(a[3], "1");
  EXPECT_EQ(b[3], "1");
  const std::vector<std::string> log = PluginLog();
  for (const char* destroyed : {"destroy 1", "destroy 2"})
    EXPECT_NE(std::find(log.begin(), log.end(), destroyed), log.end()) << destroyed;
  ASSERT_TRUE(run_->CloseAndWait());
}

// A release handled while another release is in progress: the second
// object's destruction serves the release of the first, which stands
// before it in the table. The third object is kept and keeps serving.
TEST_F(Plugin, ReleasesThatOverlap) {
  Start(L"plugin overlapping release",
        "func main.init\n  start main.a\nend\n"
        "func main.a\n  send 2525 rec(tid) 0\n  start main.b\n  sleep 1500\n  send 2528 rec(tid) 0\nend\n"
        "func main.b\n  send 2525 rec(tid) 0\n  start main.c\n  sleep 500\n  send 2528 rec(tid) 0\nend\n"
        "func main.c\n  send 2525 rec(tid) 0\n  sleep 3000\n  send 2529 rec(tid) 0\n  send 2528 rec(tid) 0\n"
        "  log finished\nend\n",
        "pump destroy 2\n4 serial\n");
  ASSERT_TRUE(run_->WaitForLog("main.c: log finished", 30000));
  EXPECT_EQ(Results("main.a"), (std::vector<std::string>{"1", "1"}));
  EXPECT_EQ(Results("main.b"), (std::vector<std::string>{"1", "1"}));
  EXPECT_EQ(Results("main.c"), (std::vector<std::string>{"1", "3", "1"}));
  int destroyed = 0;
  for (const std::string& line : PluginLog()) destroyed += line.rfind("destroy ", 0) == 0;
  EXPECT_EQ(destroyed, 3);
  ASSERT_TRUE(run_->CloseAndWait());
}

// A plug-in call that runs a message loop of its own: a close request that
// arrives inside it ends the loop, the call returns, and then the close
// sequence runs, once.
TEST_F(Plugin, CloseDuringACallThatPumps) {
  Start(L"plugin pumping call", "func main.init\n  start main.call\nend\n"
                               "func main.call\n  send 2525 rec(tid) 0\n  send 2529 rec(tid) 0\nend\n",
        "4 pump\n");
  HWND main = run_->host().FindMainWindow();
  ASSERT_TRUE(run_->host().ServeUntil(
      [&] {
        for (const std::string& line : PluginLog())
          if (line.rfind("call 4 ", 0) == 0) return true;
        return false;
      },
      30000));
  PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(run_->host().WaitForExit(20000));
  EXPECT_EQ(run_->host().exitCode(), 0u);
  EXPECT_EQ(Results("main.call"), (std::vector<std::string>{"1", "4000"}));
  size_t terminations = 0;
  for (const std::string& line : run_->EntryLines()) terminations += line == "QSTerminate done";
  EXPECT_EQ(terminations, 1u);
  EXPECT_EQ(run_->EntryLines().back(), "QSTerminate done");
  EXPECT_FALSE(driver::DirectoryExists(run_->WorkDir()));
  EXPECT_EQ(PluginLog().back(), "destroy 1");
}

}  // namespace
}  // namespace qs::test
