// The owning list of segments, dots and pop-ups: removal during a walk.
#include "world/object_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Item {
  Item(int i, int* d) : id(i), destroyed(d) {}
  Item(const Item&) = delete;
  ~Item() { ++*destroyed; }
  int id;
  int* destroyed;
};

class ObjectListTest : public ::testing::Test {
 protected:
  Item& add(int id) {
    return list.append(std::make_unique<Item>(id, &destroyed));
  }
  std::vector<int> ids() const {
    std::vector<int> out;
    list.for_each([&](const Item& i) { out.push_back(i.id); });
    return out;
  }
  int destroyed = 0;
  ObjectList<Item> list;
};

TEST_F(ObjectListTest, SelfRemovalDuringAWalkVisitsEveryOtherEntryOnce) {
  for (int i = 0; i < 5; ++i) add(i);
  std::vector<int> visited;
  list.for_each([&](Item& item) {
    visited.push_back(item.id);
    if (item.id % 2 == 0) list.remove(&item);
    // The object stays alive until the walk is over.
    EXPECT_EQ(destroyed, 0);
    EXPECT_GE(item.id, 0);
  });
  EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(destroyed, 3);
  EXPECT_EQ(ids(), (std::vector<int>{1, 3}));
  EXPECT_EQ(list.size(), 2u);
}

TEST_F(ObjectListTest, RemovingALaterEntrySkipsItAndStrangersAreIgnored) {
  Item& a = add(1);
  Item& b = add(2);
  add(3);
  std::vector<int> visited;
  list.for_each([&](Item& item) {
    visited.push_back(item.id);
    if (item.id == 1) list.remove(&b);
  });
  EXPECT_EQ(visited, (std::vector<int>{1, 3}));

  int other_destroyed = 0;
  Item stranger(9, &other_destroyed);
  list.remove(&stranger);
  list.remove(&a);
  list.remove(&a);  // already gone: nothing happens
  EXPECT_EQ(ids(), (std::vector<int>{3}));
  EXPECT_EQ(destroyed, 2);
}

TEST_F(ObjectListTest, AppendsDuringAWalkWaitForTheNextWalkAndClearEmpties) {
  add(1);
  list.for_each([&](Item& item) {
    if (item.id == 1) add(2);
  });
  EXPECT_EQ(ids(), (std::vector<int>{1, 2}));
  list.for_each([&](Item&) { list.clear(); });
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(ids(), std::vector<int>{});
}

}  // namespace
