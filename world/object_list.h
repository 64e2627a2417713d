// An ordered list that owns its objects, for the families that grow and shrink
// during play (crawler segments, particles, score pop-ups).
//
// An object may remove itself, or any other entry, while the list is being
// walked: removal only marks the entry, and the objects are destroyed once the
// outermost walk is over, so code that runs after `remove` in an update still
// sees a live object. Removing an object that is not (or no longer) in the
// list does nothing.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

template <typename T>
class ObjectList {
 public:
  T& append(std::unique_ptr<T> object) {
    T& ref = *object;
    entries_.push_back(Entry{std::move(object), true});
    ++live_;
    return ref;
  }

  void remove(const T* object) {
    for (Entry& e : entries_) {
      if (e.live && e.object.get() == object) {
        e.live = false;
        --live_;
        break;
      }
    }
    compact_if_idle();
  }

  void clear() {
    for (Entry& e : entries_) e.live = false;
    live_ = 0;
    compact_if_idle();
  }

  // Calls fn on every live entry from first to last. Entries appended during
  // the walk are not visited by it.
  template <typename Fn>
  void for_each(Fn&& fn) {
    ++walking_;
    const std::size_t n = entries_.size();
    for (std::size_t i = 0; i < n; ++i) {
      if (entries_[i].live) fn(*entries_[i].object);
    }
    --walking_;
    compact_if_idle();
  }

  template <typename Fn>
  void for_each(Fn&& fn) const {
    for (const Entry& e : entries_) {
      if (e.live) fn(static_cast<const T&>(*e.object));
    }
  }

  // The live objects, copied in order into `out`, whose storage is reused.
  void copy_to(std::vector<T>& out) const {
    out.clear();
    for_each([&out](const T& object) { out.push_back(object); });
  }

  // The list becomes copies of `values`, in order, reusing the objects it
  // holds, so that a rollback makes new ones only for a longer list. Not
  // during a walk: outside one every entry is live.
  void assign(const std::vector<T>& values) {
    if (entries_.size() > values.size()) {
      entries_.erase(
          entries_.begin() + static_cast<std::ptrdiff_t>(values.size()),
          entries_.end());
    }
    for (std::size_t i = 0; i < entries_.size(); ++i)
      *entries_[i].object = values[i];
    for (std::size_t i = entries_.size(); i < values.size(); ++i)
      entries_.push_back(Entry{std::make_unique<T>(values[i]), true});
    live_ = values.size();
  }

  std::size_t size() const { return live_; }
  bool empty() const { return live_ == 0; }

 private:
  struct Entry {
    std::unique_ptr<T> object;
    bool live;
  };

  void compact_if_idle() {
    if (walking_ > 0 || live_ == entries_.size()) return;
    std::erase_if(entries_, [](const Entry& e) { return !e.live; });
  }

  std::vector<Entry> entries_;
  std::size_t live_ = 0;
  int walking_ = 0;
};
