// The control table: limits, the two comparisons, order and lookup.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "form/control_table.h"

namespace qs {
namespace {

int g_objects[1100];
void* Object(int i) { return &g_objects[i]; }

class ControlTableTest : public ::testing::Test {
 protected:
  std::unique_ptr<ControlTable> table = std::make_unique<ControlTable>();
};

TEST_F(ControlTableTest, RegistersInOrderAndFindsExactly) {
  EXPECT_TRUE(table->RegisterControl(u"Btn", Object(0), ControlKind::Button));
  EXPECT_TRUE(table->RegisterControl(u"标签1", Object(1), ControlKind::Label));
  EXPECT_FALSE(table->RegisterControl(u"btn", Object(2), ControlKind::Button));
  EXPECT_FALSE(table->RegisterControl(u"BTN", Object(2), ControlKind::Button));
  EXPECT_EQ(table->FindControl(u"Btn"), 0);
  EXPECT_EQ(table->FindControl(u"btn"), -1);
  EXPECT_EQ(table->FindControl(u"标签1"), 1);
  EXPECT_EQ(table->FindControl(u"标签2"), -1);
  EXPECT_EQ(table->count(), 2u);
  EXPECT_EQ(table->WindowAt(1), Object(1));
  EXPECT_EQ(table->WindowAt(-1), nullptr);
  EXPECT_EQ(table->record(1).kind, ControlKind::Label);
}

TEST_F(ControlTableTest, OnlyAsciiLettersFoldOnRegistration) {
  EXPECT_TRUE(table->RegisterControl(u"Ä", Object(0), ControlKind::Label));
  EXPECT_TRUE(table->RegisterControl(u"ä", Object(1), ControlKind::Label));      // not A-Z: differs
  EXPECT_TRUE(table->RegisterControl(u"Ａ", Object(2), ControlKind::Label));     // full-width A
  EXPECT_TRUE(table->RegisterControl(u"ａ", Object(3), ControlKind::Label));
  EXPECT_TRUE(table->RegisterControl(u"a[", Object(4), ControlKind::Label));
  EXPECT_TRUE(table->RegisterControl(u"A{", Object(5), ControlKind::Label));     // '[' and '{' differ
  EXPECT_FALSE(table->IsNameFree(u"A["));
}

TEST_F(ControlTableTest, NameLengthLimit) {
  const std::u16string name63(63, u'n'), name64(64, u'm');
  EXPECT_TRUE(table->RegisterControl(name63.c_str(), Object(0), ControlKind::Label));
  EXPECT_FALSE(table->RegisterControl(name64.c_str(), Object(1), ControlKind::Label));
  EXPECT_EQ(table->FindControl(name63.c_str()), 0);
  EXPECT_EQ(table->FindControl(name64.c_str()), -1);
  EXPECT_FALSE(table->IsNameFree(name64.c_str()));
}

TEST_F(ControlTableTest, EmptyAndNullNames) {
  EXPECT_TRUE(table->RegisterControl(u"", Object(0), ControlKind::Label));
  EXPECT_FALSE(table->RegisterControl(u"", Object(1), ControlKind::Label));
  EXPECT_EQ(table->FindControl(u""), 0);
  EXPECT_EQ(table->FindControl(nullptr), -1);
  EXPECT_FALSE(table->RegisterControl(nullptr, Object(1), ControlKind::Label));
  EXPECT_FALSE(table->RegisterControl(u"x", nullptr, ControlKind::Label));
  EXPECT_FALSE(table->IsNameFree(nullptr));
  EXPECT_EQ(table->count(), 1u);
}

TEST_F(ControlTableTest, At1024TheTableIsFull) {
  for (int i = 0; i < 1024; ++i) {
    const std::string number = std::to_string(i);
    const std::u16string name = u"c" + std::u16string(number.begin(), number.end());
    ASSERT_TRUE(table->RegisterControl(name.c_str(), Object(i), ControlKind::Label)) << i;
  }
  EXPECT_FALSE(table->RegisterControl(u"one more", Object(1024), ControlKind::Label));
  EXPECT_EQ(table->FindControl(u"one more"), -1);
  EXPECT_EQ(table->FindControl(u"c1023"), 1023);
  EXPECT_EQ(table->FindControl(u"c0"), 0);
  table->ClearControls();
  EXPECT_EQ(table->count(), 0u);
  EXPECT_EQ(table->FindControl(u"c0"), -1);
  EXPECT_EQ(table->record(5).window, nullptr);
  EXPECT_EQ(table->record(5).name[0], 0);
}

}  // namespace
}  // namespace qs
