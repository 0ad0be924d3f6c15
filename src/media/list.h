// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The game's list: an ordered list of fixed records with a current element, which may
// also stand before the first element. Element addresses stay valid while other
// elements are added or removed.
#pragma once

#include <list>

namespace kw {

template <typename T>
class List {
 public:
  List() = default;
  List(const List&) = delete;
  List& operator=(const List&) = delete;
  // Inserts a record after the current element (at the head when there is none) and
  // makes it current, so repeated adds append in order. Returns the new record.
  T& Add(const T& value = T()) {
    auto pos = cur_ == items_.end() ? items_.begin() : std::next(cur_);
    cur_ = items_.insert(pos, value);
    return *cur_;
  }
  // Steps to the next element (from before the first: the first). At the end it
  // reports failure and the current element stays.
  bool Next() {
    auto n = cur_ == items_.end() ? items_.begin() : std::next(cur_);
    if (n == items_.end()) return false;
    cur_ = n;
    return true;
  }
  // Steps back; from the first element it goes to before the first and reports failure.
  bool Back() {
    if (cur_ == items_.end()) return false;
    if (cur_ == items_.begin()) { cur_ = items_.end(); return false; }
    --cur_;
    return true;
  }
  // Selects index i (from 0) by stepping i + 1 times from before the first, so an index
  // past the end selects the last element. False when the list is empty.
  bool Select(int i) {
    Reset();
    bool ok = false;
    for (int k = 0; k <= i; ++k) {
      if (!Next()) break;
      ok = true;
    }
    return ok;
  }
  // Deletes the current element and makes the previous one current (before the first
  // when the first was deleted).
  void Delete() {
    if (cur_ == items_.end()) return;
    auto prev = cur_ == items_.begin() ? items_.end() : std::prev(cur_);
    items_.erase(cur_);
    cur_ = prev;
  }
  bool Last() {
    if (items_.empty()) return false;
    cur_ = std::prev(items_.end());
    return true;
  }
  void Reset() { cur_ = items_.end(); }
  void Clear() { items_.clear(); cur_ = items_.end(); }
  int Count() const { return int(items_.size()); }
  bool Empty() const { return items_.empty(); }
  bool HasCurrent() const { return cur_ != items_.end(); }
  // Index of the current element, -1 when none.
  int Index() const {
    if (cur_ == items_.end()) return -1;
    return int(std::distance(items_.begin(), typename std::list<T>::const_iterator(cur_)));
  }
  T* Current() { return cur_ == items_.end() ? nullptr : &*cur_; }
  // Plain iteration in order (does not move the current element).
  typename std::list<T>::iterator begin() { return items_.begin(); }
  typename std::list<T>::iterator end() { return items_.end(); }
  typename std::list<T>::const_iterator begin() const { return items_.begin(); }
  typename std::list<T>::const_iterator end() const { return items_.end(); }

 private:
  std::list<T> items_;
  typename std::list<T>::iterator cur_ = items_.end();
};

}  // namespace kw
