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

  // The slot that the next object goes into (null when the table is full).
  Object** NextObjectField() { return full() ? nullptr : &slots_[count_].object; }
  // Completes an append after NextObjectField() has received an object.
  void CommitAppend(std::uint32_t threadKey) {
    slots_[count_].threadKey = threadKey;
    ++count_;
  }

  // Removes the thread's entry, releasing the table's reference; the later
  // entries move down one place in order, their references with them.
  bool Remove(std::uint32_t threadKey) {
    if (count_ == 0) return false;
    const int found = IndexOf(threadKey);
    if (found < 0) return false;
    const std::uint32_t i = static_cast<std::uint32_t>(found);
    Object* object = slots_[i].object;
    slots_[i].object = nullptr;
    object->Release();
    for (std::uint32_t k = i + 1; k < count_; ++k) slots_[k - 1] = slots_[k];
    slots_[count_ - 1] = Slot{};
    --count_;
    return true;
  }

  // Releases every object still held (all 32 slots are walked).
  void ReleaseAll() {
    for (Slot& slot : slots_) {
      if (Object* object = slot.object) {
        slot.object = nullptr;
        object->Release();
      }
      slot.threadKey = 0;
    }
    count_ = 0;
  }

 private:
  Slot slots_[kPluginSlots];
  std::uint32_t count_ = 0;
};

}  // namespace qs
