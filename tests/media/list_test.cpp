// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The game's list: adding after the current element, stepping, selecting by index,
// deleting inside a walk, and records that stay where they are.
#include <gtest/gtest.h>

#include <vector>

#include "media/list.h"

namespace {

struct Record {
  int id = 0;
};

std::vector<int> Ids(const kw::List<Record>& list) {
  std::vector<int> ids;
  for (const Record& r : list) ids.push_back(r.id);
  return ids;
}

TEST(ListTest, AddsAppendAfterTheCurrentElement) {
  kw::List<Record> list;
  EXPECT_EQ(list.Index(), -1);
  EXPECT_EQ(list.Current(), nullptr);
  for (int i = 1; i <= 3; ++i) list.Add(Record{i});
  EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(list.Index(), 2);
  // After selecting the first, an add goes between first and second.
  list.Select(0);
  list.Add(Record{9});
  EXPECT_EQ(Ids(list), (std::vector<int>{1, 9, 2, 3}));
  EXPECT_EQ(list.Index(), 1);
  // From before the first, an add goes to the head.
  list.Reset();
  list.Add(Record{0});
  EXPECT_EQ(Ids(list), (std::vector<int>{0, 1, 9, 2, 3}));
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list.Add().id, 0);  // a default record
}

TEST(ListTest, StepsSelectsAndGoesBack) {
  kw::List<Record> list;
  EXPECT_FALSE(list.Next());
  EXPECT_FALSE(list.Select(0));
  EXPECT_FALSE(list.Last());
  for (int i = 1; i <= 3; ++i) list.Add(Record{i});
  list.Reset();
  ASSERT_TRUE(list.Next());
  EXPECT_EQ(list.Current()->id, 1);
  ASSERT_TRUE(list.Next());
  ASSERT_TRUE(list.Next());
  EXPECT_FALSE(list.Next());  // at the end: fails and stays on the last
  EXPECT_EQ(list.Current()->id, 3);
  EXPECT_TRUE(list.Select(1));
  EXPECT_EQ(list.Current()->id, 2);
  EXPECT_TRUE(list.Select(7));  // past the end: the last
  EXPECT_EQ(list.Current()->id, 3);
  EXPECT_EQ(list.Index(), 2);
  EXPECT_TRUE(list.Back());
  EXPECT_EQ(list.Index(), 1);
  EXPECT_TRUE(list.Back());
  EXPECT_FALSE(list.Back());  // from the first: before the first
  EXPECT_EQ(list.Index(), -1);
  EXPECT_TRUE(list.Last());
  EXPECT_EQ(list.Current()->id, 3);
  list.Clear();
  EXPECT_TRUE(list.Empty());
  EXPECT_FALSE(list.HasCurrent());
}

TEST(ListTest, DeletingMakesThePreviousCurrent) {
  kw::List<Record> list;
  for (int i = 1; i <= 4; ++i) list.Add(Record{i});
  list.Select(2);
  list.Delete();
  EXPECT_EQ(list.Current()->id, 2);
  EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, 4}));
  list.Select(0);
  list.Delete();  // the first: before the first
  EXPECT_EQ(list.Index(), -1);
  EXPECT_TRUE(list.Next());
  EXPECT_EQ(list.Current()->id, 2);
  list.Reset();
  list.Delete();  // nothing current: nothing happens
  EXPECT_EQ(list.Count(), 2);
}

TEST(ListTest, ADeletionInsideAForwardWalkContinuesWithTheFollower) {
  kw::List<Record> list;
  for (int i = 1; i <= 7; ++i) list.Add(Record{i});
  std::vector<int> seen;
  list.Reset();
  while (list.Next()) {
    seen.push_back(list.Current()->id);
    if (list.Current()->id % 2 == 1) list.Delete();
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(Ids(list), (std::vector<int>{2, 4, 6}));
}

TEST(ListTest, RecordAddressesStayValid) {
  kw::List<Record> list;
  Record* first = &list.Add(Record{1});
  Record* second = &list.Add(Record{2});
  for (int i = 3; i < 200; ++i) list.Add(Record{i});
  list.Select(0);
  list.Add(Record{100});
  list.Select(5);
  list.Delete();
  EXPECT_EQ(first->id, 1);
  EXPECT_EQ(second->id, 2);
  list.Select(1);
  EXPECT_EQ(list.Current()->id, 100);
  list.Select(2);
  EXPECT_EQ(list.Current(), second);
}

}  // namespace
