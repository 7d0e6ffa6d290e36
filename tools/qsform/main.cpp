// qsform dump FILE   the form as the host will build it, as JSON
// qsform check FILE  one line per thing the host would skip or get wrong
//                    (and per project file the host would lose), and, when
//                    the project's engine is the Lua engine, what its
//                    script (sourseTemp.bak) gets wrong; exit 0 without
//                    findings, 1 with, 2 when unreadable
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "common/utf.h"
#include "form/form_reader.h"
#include "tools/qsform/form_report.h"
#include "tools/qsform/script_check.h"

namespace {

std::optional<std::string> ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

int Usage() {
  std::fputs("usage: qsform dump FILE | qsform check FILE\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const std::string command = argv[1], path = argv[2];
  if (command != "dump" && command != "check") return Usage();
  std::error_code kindError;
  std::ifstream file(path, std::ios::binary);
  if (!file || std::filesystem::is_directory(path, kindError)) {
    std::fprintf(stderr, "qsform: cannot read %s\n", path.c_str());
    return 2;
  }
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (command == "dump") {
    std::fputs(qs::qsform::DumpForm(qs::FormTextFromBytes(bytes)).c_str(), stdout);
    return 0;
  }
  const std::size_t slash = path.find_last_of("/\\");
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  // Images are looked for beside the form, as the host looks in the work directory.
  const qs::Findings findings = qs::qsform::CheckForm(bytes, [&](const std::u16string& name) {
    std::ifstream image(dir + "/" + qs::ToUtf8(name), std::ios::binary);
    if (!image) return std::optional<std::string>();
    std::string head(16, '\0');
    image.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(image.gcount()));
    return std::optional<std::string>(head);
  });
  for (const qs::Finding& f : findings) std::printf("%s:%d: %s\n", path.c_str(), f.line, f.text.c_str());
  // The form's folder is the project: a file there under the package file's name is lost.
  bool lost = false;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    const std::u16string name = entry.path().filename().u16string();
    if (!qs::qsform::IsPackageFileName(name)) continue;
    std::printf("%s/%s: %s\n", dir.c_str(), qs::ToUtf8(name).c_str(), qs::qsform::kPackageFileLost);
    lost = true;
  }
  // A Lua project: its script against the form.
  bool scriptFindings = false;
  const std::optional<std::string> engine = ReadAll(dir + "/scriptcore.dll");
  const std::optional<std::string> script = ReadAll(dir + "/sourseTemp.bak");
  if (engine && script && qs::qsform::IsLuaEngine(*engine)) {
    const qs::qsform::ScriptFindings checked =
        qs::qsform::CheckScript(*script, "sourseTemp.bak", qs::qsform::FormEventsOf(bytes));
    for (const qs::Finding& f : checked.form) std::printf("%s:%d: %s\n", path.c_str(), f.line, f.text.c_str());
    for (const qs::Finding& f : checked.script)
      std::printf("%s/sourseTemp.bak:%d: %s\n", dir.c_str(), f.line, f.text.c_str());
    scriptFindings = !checked.form.empty() || !checked.script.empty();
  }
  return findings.empty() && !lost && !scriptFindings ? 0 : 1;
}
