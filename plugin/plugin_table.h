// The per-thread plug-in objects: at most 32, each owned by one script
// thread (its 32-bit key), in order of creation. A slot that holds an object
// owns exactly one reference to it. Window thread only, so no lock.
#pragma once

#include <cstdint>

namespace qs {

inline constexpr std::uint32_t kPluginSlots = 32;

// Object is a reference-counted interface (AddRef/Release), IDispatch here.
template <class Object>
class PluginTableT {
 public:
  struct Slot {
    Object* object = nullptr;
    std::uint32_t threadKey = 0;
  };

  PluginTableT() = default;
  PluginTableT(const PluginTableT&) = delete;
  PluginTableT& operator=(const PluginTableT&) = delete;
  ~PluginTableT() { ReleaseAll(); }

  // All slots free and the count 0. Does not release: used on a fresh table.
  void Clear() {
    for (Slot& slot : slots_) slot = Slot{};
    count_ = 0;
  }

  std::uint32_t count() const { return count_; }
  const Slot& slot(std::uint32_t i) const { return slots_[i]; }
  bool full() const { return count_ >= kPluginSlots; }

  // Index of the first slot in use with this key, or -1.
  int IndexOf(std::uint32_t threadKey) const {
    for (std::uint32_t i = 0; i < count_; ++i)
      if (slots_[i].threadKey == threadKey) return static_cast<int>(i);
    return -1;
  }
  bool Contains(std::uint32_t threadKey) const { return IndexOf(threadKey) >= 0; }

  // The thread's object with one reference added for the caller, or null.
  Object* Find(std::uint32_t threadKey) const {
    const int i = IndexOf(threadKey);
    if (i < 0) return nullptr;
    slots_[i].object->AddRef();
    return slots_[i].object;
  }

  // Appends the object with the table's reference to it (the caller's,
  // handed over); false, and nothing taken, when the table is full or the
  // key is there already.
  bool Append(Object* object, std::uint32_t threadKey) {
    if (!object || full() || Contains(threadKey)) return false;
    slots_[count_] = Slot{object, threadKey};
    ++count_;
    return true;
  }

  // Takes the thread's entry out: the later entries move down one place in
  // order, their references with them, and the caller gets the table's
  // reference to the object (null when there is no entry).
  Object* Take(std::uint32_t threadKey) {
    const int found = IndexOf(threadKey);
    if (found < 0) return nullptr;
    const std::uint32_t i = static_cast<std::uint32_t>(found);
    Object* object = slots_[i].object;
    for (std::uint32_t k = i + 1; k < count_; ++k) slots_[k - 1] = slots_[k];
    slots_[count_ - 1] = Slot{};
    --count_;
    return object;
  }

  // Removes the thread's entry and releases the table's reference. The
  // entry is gone before Release runs: a release that serves other
  // requests meanwhile (an object that pumps messages) finds the table whole.
  bool Remove(std::uint32_t threadKey) {
    Object* object = Take(threadKey);
    if (!object) return false;
    object->Release();
    return true;
  }

  // Releases every object still held (all 32 slots are walked); the table
  // is empty before the first Release runs.
  void ReleaseAll() {
    Object* held[kPluginSlots] = {};
    for (std::uint32_t i = 0; i < kPluginSlots; ++i) {
      held[i] = slots_[i].object;
      slots_[i] = Slot{};
    }
    count_ = 0;
    for (Object* object : held)
      if (object) object->Release();
  }

 private:
  Slot slots_[kPluginSlots];
  std::uint32_t count_ = 0;
};

}  // namespace qs
