// The 136 plug-in call messages as data: for each message its dispatch
// identifier, its arguments (kind and the offset the 32-bit build lists),
// its result kind and the value it returns when the thread has no object.
// One generic handler runs every row.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>

#include "common/record_layout.h"

namespace qs {

enum class PluginArgKind : std::uint8_t {
  Int,    // 32-bit integer, passed as VT_I4
  Str,    // pointer to a UTF-16 string (may be null), passed as a BSTR copy
  Dbl,    // 64-bit double, passed as VT_R8
  Out,    // 32-bit slot written after the call (VT_VARIANT by reference)
  InOut,  // 32-bit slot read before and written after the call
};

enum class PluginResultKind : std::uint8_t {
  Int,               // the message result
  IntAsBool,         // 1 for a non-zero result, else 0 (2562)
  Str,               // copied into the lParam buffer; the message returns 1
  StrReturnsLParam,  // as Str, but returns lParam (2568)
  StrReturnsZero,    // as Str, but returns 0 (2633, 2634)
};

inline constexpr std::size_t kMaxPluginArgs = 12;

struct PluginArg {
  PluginArgKind kind;
  std::uint8_t listedOffset;  // the offset of the 32-bit layout
};

struct PluginCall {
  std::uint16_t message;
  std::int16_t dispid;
  PluginArg args[kMaxPluginArgs];
  std::uint8_t argCount;
  PluginResultKind result;
  std::int8_t noObject;       // the result when the thread has no object
  bool privilegeFirst;        // 2526: SeDebugPrivilege before anything else
};

// The record of a call: the thread key at 0, then the arguments in order,
// each at the next multiple of its own size (integers and slots 4, strings
// the pointer size, doubles 8).
constexpr FieldWidth PluginArgWidth(PluginArgKind kind) {
  return kind == PluginArgKind::Str ? FieldWidth::Pointer
         : kind == PluginArgKind::Dbl ? FieldWidth::Double
                                      : FieldWidth::Int32;
}

constexpr std::size_t PluginArgSize(PluginArgKind kind, std::size_t pointerSize) {
  return FieldSize(PluginArgWidth(kind), pointerSize);
}

constexpr std::size_t PluginArgOffset(const PluginCall& call, std::size_t arg, std::size_t pointerSize) {
  return FieldOffset(4, arg, pointerSize, [&](std::size_t i) { return PluginArgWidth(call.args[i].kind); });  // after the thread key
}

namespace plugin_table_detail {
using K = PluginArgKind;
using R = PluginResultKind;
constexpr K I = K::Int, S = K::Str, D = K::Dbl, O = K::Out, IO = K::InOut;

inline constexpr PluginCall kPluginCalls[] = {
    {2526, 162, {{I, 4}, {S, 8}, {S, 12}, {S, 16}, {I, 20}}, 5, R::Int, 0, true},
    {2527, 109, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {I, 40}, {O, 44}, {O, 48}}, 10, R::Int, -1, false},
    {2529, 4, {}, 0, R::Int, 0, false},
    {2532, 186, {{I, 4}}, 1, R::Int, 0, false},
    {2533, 154, {{I, 4}, {S, 8}, {S, 12}, {S, 16}, {S, 20}, {I, 24}}, 6, R::Int, 0, false},
    {2534, 172, {{I, 4}}, 1, R::Int, 0, false},
    {2535, 188, {}, 0, R::Int, 0, false},
    {2536, 2, {}, 0, R::Str, 0, false},
    {2537, 107, {}, 0, R::Str, 0, false},
    {2538, 150, {{S, 4}}, 1, R::Int, 0, false},
    {2539, 3, {{S, 4}}, 1, R::Int, 0, false},
    {2540, 71, {{I, 4}}, 1, R::Int, 0, false},
    {2541, 1, {}, 0, R::Str, 0, false},
    {2542, 44, {{S, 4}}, 1, R::Str, 0, false},
    {2543, 40, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}}, 5, R::Int, 0, false},
    {2544, 45, {{I, 4}, {I, 8}, {S, 12}, {D, 16}}, 4, R::Int, 1, false},
    {2545, 46, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {D, 24}, {I, 32}, {O, 36}, {O, 40}}, 9, R::Int, 0, false},
    {2546, 143, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {D, 24}, {I, 32}}, 7, R::Str, 0, false},
    {2547, 47, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {D, 24}, {I, 32}}, 7, R::Str, 0, false},
    {2548, 132, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {I, 40}, {O, 44}, {O, 48}}, 10, R::Int, 0, false},
    {2549, 145, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {I, 40}}, 8, R::Str, 0, false},
    {2550, 133, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {I, 40}}, 8, R::Str, 0, false},
    {2551, 144, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {I, 40}}, 8, R::Str, 0, false},
    {2552, 110, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {I, 40}}, 8, R::Str, 0, false},
    {2553, 96, {{S, 4}}, 1, R::Int, 0, false},
    {2554, 178, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {I, 24}}, 6, R::Int, 0, false},
    {2556, 49, {{I, 4}, {I, 8}, {I, 12}, {I, 16}}, 4, R::Str, 0, false},
    {2557, 48, {{I, 4}, {I, 8}, {I, 12}, {I, 16}}, 4, R::Str, 0, false},
    {2558, 41, {{I, 4}, {I, 8}}, 2, R::Str, 0, false},
    {2559, 42, {{I, 4}, {I, 8}}, 2, R::Str, 0, false},
    {2560, 50, {{I, 4}, {I, 8}}, 2, R::Str, 0, false},
    {2561, 97, {{I, 4}, {I, 8}, {I, 12}, {I, 16}}, 4, R::Int, 0, false},
    {2562, 95, {{S, 4}}, 1, R::IntAsBool, 0, false},
    {2563, 121, {{S, 4}}, 1, R::Str, 0, false},
    {2564, 43, {{S, 4}}, 1, R::Str, 0, false},
    {2565, 140, {{S, 4}}, 1, R::Int, 0, false},
    {2566, 187, {{S, 4}}, 1, R::Str, 0, false},
    {2567, 122, {{I, 4}, {S, 8}}, 2, R::Int, 0, false},
    {2568, 177, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}}, 6, R::StrReturnsLParam, 0, false},
    {2569, 8, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {O, 40}, {O, 44}}, 9, R::Int, -1, false},
    {2570, 142, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}}, 7, R::Str, 0, false},
    {2571, 9, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}}, 7, R::Str, 0, false},
    {2572, 179, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {S, 40}, {I, 44}, {I, 48}, {O, 52}, {O, 56}}, 12, R::Int, -1, false},
    {2573, 180, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {S, 40}, {I, 44}, {I, 48}}, 10, R::Str, 0, false},
    {2574, 181, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {S, 40}, {I, 44}, {I, 48}}, 10, R::Str, 0, false},
    {2575, 182, {{S, 4}, {S, 8}, {I, 12}, {I, 16}}, 4, R::Str, 0, false},
    {2576, 11, {{S, 4}}, 1, R::Int, -1, false},
    {2577, 12, {{S, 4}, {I, 8}, {O, 12}, {O, 16}}, 4, R::Int, 0, false},
    {2578, 21, {{S, 4}}, 1, R::Int, -1, false},
    {2579, 22, {{S, 4}, {I, 8}, {O, 12}, {O, 16}}, 4, R::Int, 0, false},
    {2580, 23, {{S, 4}, {I, 8}}, 2, R::Str, 0, false},
    {2581, 24, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {D, 24}}, 6, R::Str, 0, false},
    {2582, 25, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}}, 5, R::Str, 0, false},
    {2583, 7, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {D, 24}}, 6, R::Str, 0, false},
    {2584, 149, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {D, 24}}, 6, R::Str, 0, false},
    {2585, 10, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}}, 7, R::Str, 0, false},
    {2586, 183, {{I, 4}, {S, 8}}, 2, R::Int, 0, false},
    {2587, 18, {{I, 4}}, 1, R::Int, -1, false},
    {2588, 108, {{I, 4}, {S, 8}}, 2, R::Int, 0, false},
    {2589, 5, {{S, 4}}, 1, R::Int, 0, false},
    {2590, 146, {{I, 4}}, 1, R::Int, 0, false},
    {2591, 14, {{I, 4}}, 1, R::Int, 0, false},
    {2592, 13, {{I, 4}}, 1, R::Int, 0, false},
    {2593, 16, {{I, 4}}, 1, R::Int, 0, false},
    {2594, 20, {{I, 4}}, 1, R::Int, 0, false},
    {2595, 15, {{I, 4}}, 1, R::Int, 0, false},
    {2596, 19, {{I, 4}}, 1, R::Int, 0, false},
    {2597, 6, {{I, 4}}, 1, R::Int, 0, false},
    {2598, 17, {{I, 4}}, 1, R::Int, 0, false},
    {2599, 171, {}, 0, R::Str, 0, false},
    {2600, 173, {}, 0, R::Str, 0, false},
    {2601, 28, {{I, 4}}, 1, R::Int, 0, false},
    {2602, 27, {{I, 4}}, 1, R::Int, 0, false},
    {2603, 29, {{I, 4}}, 1, R::Int, 0, false},
    {2604, 30, {}, 0, R::Int, 0, false},
    {2605, 33, {}, 0, R::Int, 0, false},
    {2606, 34, {}, 0, R::Int, 0, false},
    {2607, 35, {}, 0, R::Int, 0, false},
    {2608, 32, {}, 0, R::Int, 0, false},
    {2609, 39, {{I, 4}, {I, 8}}, 2, R::Int, 0, false},
    {2610, 38, {{I, 4}, {I, 8}}, 2, R::Int, 0, false},
    {2611, 31, {}, 0, R::Int, 0, false},
    {2612, 36, {}, 0, R::Int, 0, false},
    {2613, 37, {}, 0, R::Int, 0, false},
    {2614, 102, {{S, 4}, {I, 8}}, 2, R::Int, 0, false},
    {2615, 101, {{S, 4}, {I, 8}}, 2, R::Int, 0, false},
    {2616, 100, {}, 0, R::Int, 0, false},
    {2617, 99, {}, 0, R::Int, 0, false},
    {2618, 176, {}, 0, R::Str, 0, false},
    {2619, 175, {{S, 4}, {I, 8}, {I, 12}, {I, 16}}, 4, R::Int, 0, false},
    {2620, 88, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {I, 20}, {I, 24}, {I, 28}}, 7, R::Int, 0, false},
    {2621, 94, {{I, 4}}, 1, R::Int, 0, false},
    {2622, 90, {{S, 4}, {I, 8}, {I, 12}, {I, 16}}, 4, R::Str, 0, false},
    {2623, 129, {{S, 4}}, 1, R::Int, 0, false},
    {2624, 131, {{I, 4}, {I, 8}}, 2, R::Int, 0, false},
    {2625, 130, {}, 0, R::Int, 0, false},
    {2626, 134, {{I, 4}}, 1, R::Str, 0, false},
    {2627, 135, {{S, 4}, {I, 8}, {I, 12}}, 3, R::Str, 0, false},
    {2628, 158, {{I, 4}, {S, 8}}, 2, R::Int, 0, false},
    {2629, 159, {{I, 4}, {S, 8}}, 2, R::Int, 0, false},
    {2630, 160, {{S, 4}}, 1, R::Int, 0, false},
    {2631, 161, {{O, 4}, {O, 8}}, 2, R::Int, 0, false},
    {2632, 192, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}, {O, 40}, {O, 44}}, 9, R::Int, -1, false},
    {2633, 194, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}}, 7, R::StrReturnsZero, 1, false},
    {2634, 193, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {S, 24}, {D, 32}}, 7, R::StrReturnsZero, 1, false},
    {2635, 191, {{S, 4}, {S, 8}}, 2, R::Int, 0, false},
    {2636, 190, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}, {I, 24}, {I, 28}}, 7, R::Int, 0, false},
    {2637, 189, {{I, 4}, {I, 8}, {I, 12}, {I, 16}, {S, 20}}, 5, R::Int, 0, false},
    {2639, 195, {{I, 4}}, 1, R::Int, 0, false},
    {2640, 196, {{S, 4}}, 1, R::Int, 0, false},
    {2641, 51, {{I, 4}, {IO, 8}, {IO, 12}}, 3, R::Int, 0, false},
    {2642, 58, {{I, 4}, {S, 8}, {S, 12}, {I, 16}}, 4, R::Str, 0, false},
    {2643, 163, {{S, 4}, {S, 8}}, 2, R::Int, 0, false},
    {2644, 169, {{I, 4}, {S, 8}, {S, 12}}, 3, R::Int, 0, false},
    {2645, 65, {{I, 4}, {O, 8}, {O, 12}}, 3, R::Int, 0, false},
    {2646, 55, {}, 0, R::Int, 0, false},
    {2647, 54, {}, 0, R::Int, 0, false},
    {2648, 56, {}, 0, R::Int, 0, false},
    {2649, 57, {{I, 4}, {I, 8}}, 2, R::Int, 0, false},
    {2650, 62, {{I, 4}}, 1, R::Int, 0, false},
    {2651, 61, {{I, 4}, {I, 8}}, 2, R::Int, 0, false},
    {2652, 68, {{I, 4}}, 1, R::Str, 0, false},
    {2653, 184, {{I, 4}}, 1, R::Int, 0, false},
    {2654, 185, {{I, 4}}, 1, R::Str, 0, false},
    {2655, 66, {{I, 4}, {O, 8}, {O, 12}, {O, 16}, {O, 20}}, 5, R::Int, 0, false},
    {2656, 60, {{I, 4}, {I, 8}}, 2, R::Int, 0, false},
    {2657, 67, {{I, 4}}, 1, R::Str, 0, false},
    {2658, 59, {{I, 4}, {I, 8}, {I, 12}}, 3, R::Int, 0, false},
    {2659, 52, {{I, 4}, {IO, 8}, {IO, 12}}, 3, R::Int, 0, false},
    {2660, 105, {{I, 4}, {S, 8}}, 2, R::Int, 0, false},
    {2661, 174, {{I, 4}, {S, 8}}, 2, R::Int, 0, false},
    {2662, 111, {{I, 4}, {I, 8}, {I, 12}}, 3, R::Int, 0, false},
    {2663, 64, {{I, 4}, {I, 8}, {I, 12}}, 3, R::Int, 0, false},
    {2664, 69, {{I, 4}, {I, 8}}, 2, R::Int, 0, false},
    {2665, 63, {{I, 4}, {S, 8}}, 2, R::Int, 0, false},
    {2666, 136, {{I, 4}, {I, 8}}, 2, R::Int, 0, false},
};

constexpr bool ListedOffsetsFollowTheRule() {
  for (const PluginCall& call : kPluginCalls)
    for (std::size_t i = 0; i < call.argCount; ++i)
      if (PluginArgOffset(call, i, 4) != call.args[i].listedOffset) return false;
  return true;
}
}  // namespace plugin_table_detail

// The 32-bit layout of every row, as listed, is the one the rule gives.
static_assert(plugin_table_detail::ListedOffsetsFollowTheRule());
static_assert(std::size(plugin_table_detail::kPluginCalls) == 136);
// The lookup is a binary search.
static_assert(std::is_sorted(std::begin(plugin_table_detail::kPluginCalls), std::end(plugin_table_detail::kPluginCalls),
                             [](const PluginCall& a, const PluginCall& b) { return a.message < b.message; }));

inline std::span<const PluginCall> PluginCalls() { return plugin_table_detail::kPluginCalls; }

// The row of a call message, or null (2525, 2528, 2531 and 2530, 2555, 2638 have none).
const PluginCall* FindPluginCall(unsigned message);

}  // namespace qs
