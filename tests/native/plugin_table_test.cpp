// The plug-in call table and the per-thread object table.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

#include "plugin/plugin_call_table.h"
#include "plugin/plugin_table.h"

namespace qs {
namespace {

TEST(PluginCallTable, RowsDispidsAndLayout) {
  const auto calls = PluginCalls();
  ASSERT_EQ(calls.size(), 136u);
  std::set<int> dispids, messages;
  for (const PluginCall& call : calls) {
    EXPECT_TRUE(dispids.insert(call.dispid).second) << call.message;
    EXPECT_TRUE(messages.insert(call.message).second) << call.message;
    EXPECT_GE(call.message, 2526);
    EXPECT_LE(call.message, 2666);
    for (unsigned m : {2525u, 2528u, 2531u, 2530u, 2555u, 2638u}) EXPECT_NE(call.message, m);
    for (std::size_t i = 0; i < call.argCount; ++i) {
      EXPECT_EQ(PluginArgOffset(call, i, 4), call.args[i].listedOffset) << call.message << " arg " << i;
      // 64-bit: the same rule with 8-byte pointers keeps every field aligned.
      EXPECT_EQ(PluginArgOffset(call, i, 8) % PluginArgSize(call.args[i].kind, 8), 0u);
    }
  }
  EXPECT_TRUE(std::is_sorted(calls.begin(), calls.end(),
                             [](const PluginCall& a, const PluginCall& b) { return a.message < b.message; }));
  // Argument lists the table is known by.
  const PluginCall* call = FindPluginCall(2527);
  ASSERT_TRUE(call);
  EXPECT_EQ(call->args[6].kind, PluginArgKind::Dbl);
  EXPECT_EQ(PluginArgOffset(*call, 6, 4), 32u);  // offset 28 is skipped
  EXPECT_EQ(PluginArgOffset(*call, 4, 8), 24u);  // strings are 8 bytes on 64-bit
  EXPECT_EQ(PluginArgOffset(*call, 6, 8), 40u);
  EXPECT_EQ(PluginArgOffset(*FindPluginCall(2544), 3, 4), 16u);
  EXPECT_EQ(PluginArgOffset(*FindPluginCall(2545), 5, 4), 24u);
  EXPECT_EQ(FindPluginCall(2641)->args[1].kind, PluginArgKind::InOut);
  EXPECT_EQ(FindPluginCall(2562)->result, PluginResultKind::IntAsBool);
  EXPECT_EQ(FindPluginCall(2568)->result, PluginResultKind::StrReturnsLParam);
  EXPECT_EQ(FindPluginCall(2633)->noObject, 1);
  EXPECT_TRUE(FindPluginCall(2526)->privilegeFirst);
  EXPECT_FALSE(FindPluginCall(2530));
  int minusOne = 0;
  for (const PluginCall& c : calls) minusOne += c.noObject == -1;
  EXPECT_EQ(minusOne, 7);
}

struct FakeObject {
  int references = 1;
  void AddRef() { ++references; }
  void Release() { --references; }
};

TEST(PluginTable, OrderIsKeptOnRemoval) {
  PluginTableT<FakeObject> table;
  FakeObject objects[33];
  for (std::uint32_t i = 0; i < 32; ++i) EXPECT_TRUE(table.Append(&objects[i], 100 + i));
  EXPECT_TRUE(table.full());
  EXPECT_FALSE(table.Append(&objects[32], 200));  // full: not taken
  EXPECT_EQ(objects[32].references, 1);
  // Release while all 32 are used: 31 left in order, slot 31 free.
  EXPECT_TRUE(table.Remove(105));
  EXPECT_EQ(objects[5].references, 0);
  EXPECT_EQ(table.count(), 31u);
  EXPECT_EQ(table.slot(5).threadKey, 106u);
  EXPECT_EQ(table.slot(30).threadKey, 131u);
  EXPECT_EQ(table.slot(31).object, nullptr);
  EXPECT_FALSE(table.Remove(105));
  // Find adds a reference for the caller.
  FakeObject* found = table.Find(110);
  EXPECT_EQ(found, &objects[10]);
  EXPECT_EQ(objects[10].references, 2);
  found->Release();
  EXPECT_EQ(table.Find(999), nullptr);
  table.ReleaseAll();
  EXPECT_EQ(table.count(), 0u);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(objects[i].references, 0) << i;
}

TEST(PluginTable, ReleasingTheMiddleOfThree) {
  PluginTableT<FakeObject> table;
  FakeObject a, b, c;
  for (auto [object, key] : {std::pair{&a, 1u}, {&b, 2u}, {&c, 3u}}) EXPECT_TRUE(table.Append(object, key));
  EXPECT_FALSE(table.Append(&c, 1));  // a key occurs once
  EXPECT_TRUE(table.Remove(2));
  EXPECT_EQ(table.count(), 2u);
  EXPECT_EQ(table.slot(0).object, &a);
  EXPECT_EQ(table.slot(1).object, &c);
  EXPECT_EQ(table.slot(2).object, nullptr);
  EXPECT_EQ(b.references, 0);
  EXPECT_EQ(a.references, 1);
}

// An object whose last Release serves other requests (as one that pumps
// messages does): what they do to the table is not undone afterwards.
struct ReentrantObject {
  int references = 1;
  std::function<void()> onRelease;
  void AddRef() { ++references; }
  void Release() {
    if (--references == 0 && onRelease) std::exchange(onRelease, nullptr)();
  }
};

TEST(PluginTable, ARemovalServedInsideAReleaseKeepsTheTableWhole) {
  PluginTableT<ReentrantObject> table;
  ReentrantObject a, b, c;
  for (auto [object, key] : {std::pair{&a, 1u}, {&b, 2u}, {&c, 3u}}) ASSERT_TRUE(table.Append(object, key));
  // Releasing b removes a (an entry before it) meanwhile.
  b.onRelease = [&] { EXPECT_TRUE(table.Remove(1)); };
  EXPECT_TRUE(table.Remove(2));
  ASSERT_EQ(table.count(), 1u);
  EXPECT_EQ(table.slot(0).object, &c);
  EXPECT_EQ(table.slot(0).threadKey, 3u);
  EXPECT_EQ(table.slot(1).object, nullptr);
  EXPECT_EQ(a.references, 0);
  EXPECT_EQ(c.references, 1);
}

TEST(PluginTable, ReleasingAllLeavesAnEmptyTableToWhatTheReleasesServe) {
  PluginTableT<ReentrantObject> table;
  ReentrantObject a, b;
  ASSERT_TRUE(table.Append(&a, 1));
  ASSERT_TRUE(table.Append(&b, 2));
  std::uint32_t seen = 99;
  a.onRelease = [&] {
    seen = table.count();
    EXPECT_FALSE(table.Remove(2));
  };
  table.ReleaseAll();
  EXPECT_EQ(seen, 0u);
  EXPECT_EQ(b.references, 0);
}

}  // namespace
}  // namespace qs
