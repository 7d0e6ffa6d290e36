// A per-window message table: message number -> member handler. Handlers
// take the message with its parameters and return the message result.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace win32 {

template <class Window>
class MessageMap {
 public:
  using Handler = LRESULT (Window::*)(UINT message, WPARAM wParam, LPARAM lParam);
  struct Entry {
    UINT message;
    Handler handler;
  };

  void Add(UINT message, Handler handler) { entries_.push_back({message, handler}); }
  // Sorts the table once it is complete; later entries for a number win.
  void Seal() {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.message < b.message; });
    std::vector<Entry> unique;
    for (const Entry& e : entries_) {
      if (!unique.empty() && unique.back().message == e.message) unique.back() = e;
      else unique.push_back(e);
    }
    entries_ = std::move(unique);
  }
  Handler Find(UINT message) const {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), message,
                               [](const Entry& e, UINT m) { return e.message < m; });
    return it != entries_.end() && it->message == message ? it->handler : nullptr;
  }

 private:
  std::vector<Entry> entries_;
};

}  // namespace win32
