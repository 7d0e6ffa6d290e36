// libFuzzer target over the whole form reading path: the bytes of a form
// file through the walk (dump) and the checks.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "form/form_reader.h"
#include "tools/qsform/form_report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  qs::qsform::DumpForm(qs::FormTextFromBytes(bytes));
  qs::qsform::CheckForm(bytes, nullptr);
  return 0;
}
