// A fixed amount of work for valgrind's callgrind: one walk of a 1,024-
// control form and 1,000 lookups of the last of 1,024 names. Instruction
// counts do not depend on the load of the machine.
#include <memory>

#include "bench/large_form.h"
#include "form/control_table.h"
#include "form/form_walker.h"

int main() {
  const std::u16string form = qs::bench::LargeForm(1024);
  auto table = std::make_unique<qs::ControlTable>();
  qs::bench::NullBuilder builder;
  qs::WalkForm(form, builder, *table);

  auto names = std::make_unique<qs::ControlTable>();
  static int objects[1024];
  for (int i = 0; i < 1024; ++i) names->RegisterControl(qs::bench::LongName(i).c_str(), &objects[i], qs::ControlKind::Label);
  const std::u16string last = qs::bench::LongName(1023);
  int found = 0;
  for (int i = 0; i < 1000; ++i) found += names->FindControl(last.c_str());
  return found == 1023 * 1000 ? 0 : 1;
}
