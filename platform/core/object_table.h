// ObjectTable: how every platform object (window, button, image, sound, font,
// file) is identified.
//
// An object lives either under a number the caller chooses (0 and up) or under
// the identifier -1, which makes a new record whose address, returned as an
// ObjectId, identifies it from then on. A lookup takes either form and finds
// only live records: a record is live while its native handle (the first field
// of every record type) is nonzero, which each Record reports through Live().
//
// Addresses handed out under -1 are checked against the table before use, so a
// stale or foreign identifier finds nothing instead of touching freed memory.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

using ObjectId = std::intptr_t;

// The identifier that asks for a new record.
inline constexpr ObjectId kNewObject = -1;

template <typename Record>
class ObjectTable {
 public:
  // Called on a record before its slot is reused or it is removed; it must free
  // whatever native resources the record holds.
  using ReleaseFn = void (*)(Record&);

  explicit ObjectTable(ReleaseFn release) : release_(release) {}
  ~ObjectTable() = default;
  ObjectTable(const ObjectTable&) = delete;
  ObjectTable& operator=(const ObjectTable&) = delete;

  // A zero-initialised record under `id`, or nullptr for an identifier that is
  // neither -1 nor a number. A number already in use is released first.
  Record* Create(ObjectId id) {
    if (id == kNewObject) {
      made_.push_back(std::make_unique<Record>());
      return made_.back().get();
    }
    if (id < 0) return nullptr;
    const auto slot = static_cast<std::size_t>(id);
    if (slot >= numbered_.size()) numbered_.resize(slot + 1);
    if (numbered_[slot]) release_(*numbered_[slot]);
    numbered_[slot] = std::make_unique<Record>();
    return numbered_[slot].get();
  }

  // The live record under `id` (a number or a reference), or nullptr.
  Record* Find(ObjectId id) const {
    Record* record = Slot(id);
    return record && record->Live() ? record : nullptr;
  }

  // The identifier of a record made under -1: its reference.
  static ObjectId ReferenceOf(const Record* record) { return reinterpret_cast<ObjectId>(record); }

  // Releases the object under `id` and frees its slot or record. Unknown
  // identifiers are ignored.
  void Remove(ObjectId id) {
    if (id >= 0 && static_cast<std::size_t>(id) < numbered_.size()) {
      if (numbered_[id]) release_(*numbered_[id]);
      numbered_[id].reset();
      return;
    }
    for (auto it = made_.begin(); it != made_.end(); ++it) {
      if (ReferenceOf(it->get()) == id) {
        std::unique_ptr<Record> record = std::move(*it);
        made_.erase(it);
        release_(*record);
        return;
      }
    }
  }

  // Visits every live object: numbered ones in ascending number, then the
  // records made under -1 from the oldest to the newest.
  template <typename Visit>
  void ForEachLive(Visit visit) const {
    for (const auto& record : numbered_)
      if (record && record->Live()) visit(*record);
    for (const auto& record : made_)
      if (record->Live()) visit(*record);
  }

  // Releases and removes every object, in the walking order above.
  void Clear() {
    for (auto& record : numbered_)
      if (record) release_(*record);
    numbered_.clear();
    std::vector<std::unique_ptr<Record>> made = std::move(made_);
    made_.clear();
    for (auto& record : made) release_(*record);
  }

 private:
  Record* Slot(ObjectId id) const {
    if (id >= 0 && static_cast<std::size_t>(id) < numbered_.size()) return numbered_[id].get();
    for (const auto& record : made_)
      if (ReferenceOf(record.get()) == id) return record.get();
    return nullptr;
  }

  ReleaseFn release_;
  std::vector<std::unique_ptr<Record>> numbered_;
  std::vector<std::unique_ptr<Record>> made_;
};
