#include "engine/lua/named_operations.h"

namespace qs::lua {

namespace {

using S = Shape;
constexpr WrongName Z = WrongName::Zero, M = WrongName::MinusOne, U = WrongName::Unknown;

constexpr NamedOperation kOperations[] = {
    {"label", "set", 1525, S::SetText, Z},
    {"label", "get", 1526, S::GetText, Z},
    {"edit", "set", 1527, S::SetText, Z},
    {"edit", "get", 1528, S::GetText, Z},
    {"radio", "set_text", 1529, S::SetText, Z},
    {"radio", "text", 1530, S::GetText, Z},
    {"radio", "check", 1531, S::SetBool, Z},
    {"radio", "checked", 1532, S::GetBool, U},
    {"check", "set_text", 1533, S::SetText, Z},
    {"check", "text", 1534, S::GetText, Z},
    {"check", "set_state", 1535, S::SetInt, Z},
    {"check", "state", 1536, S::GetInt, U},
    {"browse", "get", 1537, S::GetText, Z},
    {"browse", "set", 1538, S::SetText, Z},
    {"combo", "selected", 1539, S::GetIndex, U},
    {"combo", "select", 1540, S::SetIndex, Z},
    {"combo", "count", 1541, S::GetInt, M},
    {"combo", "item", 1542, S::ItemText, Z},
    {"group", "set", 1543, S::SetText, Z},
    {"group", "get", 1544, S::GetText, Z},
    {"list", "count", 1545, S::GetInt, M},
    {"list", "item", 1546, S::ItemText, Z},
    {"list", "add", 1548, S::SetText, Z},
    {"list", "selected", 1549, S::GetIndex, U},
    {"list", "selected_text", 1550, S::GetText, Z},
    {"date", "set", 1553, S::SetText, U},
    {"date", "get", 1554, S::GetText, U},
    {"picture", "load", 1555, S::SetPath, Z},
    {"progress", "set", 1557, S::Exchange, U},
    {"progress", "get", 1558, S::GetInt, M},
    {"button", "set", 1559, S::SetText, Z},
    {"button", "get", 1560, S::GetText, Z},
    {"tab", "select", 1564, S::SetIndex, Z},
    {"clock", "start", 1565, S::SetInt, Z},
    {"clock", "stop", 1566, S::Action, Z},
    {"control", "enable", 1567, S::SetBool, Z},
    {"control", "show", 1568, S::Show, Z},
    {"combo", "clear", 1569, S::Action, Z},
    {"list", "clear", 1570, S::Action, Z},
    {"hotkey", "register", 1571, S::Action, U},
    {"hotkey", "unregister", 1572, S::Action, U},
    {"hotkey", "text", 1574, S::GetText, Z},
    {"slider", "set", 1575, S::SetInt, Z},
    {"slider", "get", 1576, S::GetInt, M},
    {"combo", "remove", 1577, S::SetIndex, Z},
    {"combo", "add", 1578, S::SetText, Z},
    {"list", "remove", 1579, S::SetIndex, Z},
    {"tab", "current", 1580, S::GetIndex, M},
    {"tab", "count", 1581, S::GetInt, M},
    {"control", "place", 1582, S::Place, Z, 0},
    {"control", "move", 1582, S::Place, Z, 1},
    {"control", "resize", 1582, S::Place, Z, 2},
};

}  // namespace

std::span<const NamedOperation> NamedOperations() { return kOperations; }

}  // namespace qs::lua
