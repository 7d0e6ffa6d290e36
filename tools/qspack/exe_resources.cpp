#include "tools/qspack/exe_resources.h"

#include <cstring>
#include <vector>

#include "win32/handles.h"

namespace qs::pack {

namespace {

#pragma pack(push, 2)
struct IconDirEntry {  // in an .ico file
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes, offset;
};
struct GroupIconEntry {  // in an RT_GROUP_ICON resource
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

struct CopyContext {
  HANDLE update;
  bool ok = true;
};

BOOL CALLBACK CopyLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR data) {
  auto* context = reinterpret_cast<CopyContext*>(data);
  HRSRC found = FindResourceExW(module, type, name, language);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || !UpdateResourceW(context->update, type, name, language, bytes, SizeofResource(module, found)))
    context->ok = false;
  return TRUE;
}

BOOL CALLBACK CopyName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR data) {
  EnumResourceLanguagesW(module, type, name, CopyLanguage, data);
  return TRUE;
}

BOOL CALLBACK CopyType(HMODULE module, LPWSTR type, LONG_PTR data) {
  if (type != RT_ICON && type != RT_GROUP_ICON) EnumResourceNamesW(module, type, CopyName, data);
  return TRUE;
}

}  // namespace

bool CopyResourcesButIcons(HANDLE update, const std::wstring& exePath) {
  const win32::OwnedModule module(LoadLibraryExW(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return false;
  CopyContext context{update};
  EnumResourceTypesW(module.get(), CopyType, reinterpret_cast<LONG_PTR>(&context));
  return context.ok;
}

namespace {

// A node of the version resource: length, value length, type, key, value, children.
class VersionNode {
 public:
  VersionNode(const std::wstring& key, const void* value, WORD valueLength, WORD type, size_t valueBytes)
      : key_(key), valueLength_(valueLength), type_(type),
        value_(static_cast<const char*>(value), static_cast<const char*>(value) + valueBytes) {}
  void Add(VersionNode child) { children_.push_back(std::move(child)); }

  std::string Bytes() const {
    std::string out(6, '\0');
    out.append(reinterpret_cast<const char*>(key_.c_str()), (key_.size() + 1) * 2);
    Pad(out);
    out += value_;
    for (const VersionNode& child : children_) {
      Pad(out);
      out += child.Bytes();
    }
    const WORD header[3] = {static_cast<WORD>(out.size()), valueLength_, type_};
    std::memcpy(out.data(), header, sizeof header);
    return out;
  }

 private:
  static void Pad(std::string& out) { out.append((4 - out.size() % 4) % 4, '\0'); }

  std::wstring key_;
  WORD valueLength_, type_;
  std::string value_;
  std::vector<VersionNode> children_;
};

VersionNode StringNode(const std::wstring& key, const std::wstring& value) {
  return VersionNode(key, value.c_str(), static_cast<WORD>(value.size() + 1), 1, (value.size() + 1) * 2);
}

}  // namespace

bool ParseVersion(const std::wstring& text, VersionInfo* info) {
  VersionInfo parsed = *info;
  size_t start = 0;
  for (int part = 0; part < 4; ++part) {
    const size_t dot = text.find(L'.', start);
    const std::wstring digits = text.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start);
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
    const unsigned long value = wcstoul(digits.c_str(), nullptr, 10);
    if (value > 65535) return false;
    parsed.parts[part] = static_cast<WORD>(value);
    for (int rest = part + 1; rest < 4 && dot == std::wstring::npos; ++rest) parsed.parts[rest] = 0;
    if (dot == std::wstring::npos) {
      *info = parsed;
      return true;
    }
    start = dot + 1;
  }
  return false;  // more than four parts
}

bool WriteIcon(HANDLE update, const std::string& ico) {
  if (ico.size() < 6) return false;
  WORD header[3];
  std::memcpy(header, ico.data(), sizeof header);
  const WORD count = header[2];
  if (header[0] != 0 || header[1] != 1 || count == 0 || ico.size() < 6 + count * sizeof(IconDirEntry)) return false;
  std::vector<IconDirEntry> entries(count);
  std::memcpy(entries.data(), ico.data() + 6, count * sizeof(IconDirEntry));
  for (const IconDirEntry& e : entries)
    if (e.bytes == 0 || e.offset > ico.size() || e.bytes > ico.size() - e.offset) return false;

  std::string group(reinterpret_cast<const char*>(header), sizeof header);
  for (WORD i = 0; i < count; ++i) {
    const IconDirEntry& e = entries[i];
    const WORD id = static_cast<WORD>(i + 1);
    if (!UpdateResourceW(update, RT_ICON, MAKEINTRESOURCEW(id), kHostLanguage,
                         const_cast<char*>(ico.data() + e.offset), e.bytes))
      return false;
    const GroupIconEntry g{e.width, e.height, e.colors, 0, e.planes, e.bitCount, e.bytes, id};
    group.append(reinterpret_cast<const char*>(&g), sizeof g);
  }
  return UpdateResourceW(update, RT_GROUP_ICON, MAKEINTRESOURCEW(128), kHostLanguage, group.data(),
                         static_cast<DWORD>(group.size())) != FALSE;
}

bool WriteVersionInfo(HANDLE update, const VersionInfo& info) {
  VS_FIXEDFILEINFO fixed{};
  fixed.dwSignature = VS_FFI_SIGNATURE;
  fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
  fixed.dwFileVersionMS = fixed.dwProductVersionMS = MAKELONG(info.parts[1], info.parts[0]);
  fixed.dwFileVersionLS = fixed.dwProductVersionLS = MAKELONG(info.parts[3], info.parts[2]);
  fixed.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
  fixed.dwFileOS = VOS_NT_WINDOWS32;
  fixed.dwFileType = VFT_APP;
  const std::wstring version = std::to_wstring(info.parts[0]) + L"." + std::to_wstring(info.parts[1]) + L"." +
                               std::to_wstring(info.parts[2]) + L"." + std::to_wstring(info.parts[3]);
  VersionNode table(L"080404b0", nullptr, 0, 1, 0);
  table.Add(StringNode(L"FileVersion", version));
  table.Add(StringNode(L"ProductVersion", version));
  if (!info.productName.empty()) table.Add(StringNode(L"ProductName", info.productName));
  if (!info.companyName.empty()) table.Add(StringNode(L"CompanyName", info.companyName));
  if (!info.description.empty()) table.Add(StringNode(L"FileDescription", info.description));
  VersionNode strings(L"StringFileInfo", nullptr, 0, 1, 0);
  strings.Add(std::move(table));
  const DWORD translation = MAKELONG(kHostLanguage, 1200);  // Unicode
  VersionNode var(L"Translation", &translation, sizeof translation, 0, sizeof translation);
  VersionNode vars(L"VarFileInfo", nullptr, 0, 1, 0);
  vars.Add(std::move(var));
  VersionNode root(L"VS_VERSION_INFO", &fixed, sizeof fixed, 0, sizeof fixed);
  root.Add(std::move(strings));
  root.Add(std::move(vars));
  std::string bytes = root.Bytes();
  return UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO), kHostLanguage, bytes.data(),
                         static_cast<DWORD>(bytes.size())) != FALSE;
}

}  // namespace qs::pack
