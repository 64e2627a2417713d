// The owning list of segments, dots and pop-ups: removal during a walk, and
// the copies a game snapshot keeps and puts back.
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

// A kept copy put back: the list takes its values in order, reusing the
// objects it holds and making or dropping only the difference.
TEST(ObjectListCopies, AssignTakesTheCopyReusingTheObjectsHeld) {
  struct Value {
    int v;
  };
  ObjectList<Value> list;
  auto values = [&list] {
    std::vector<int> out;
    list.for_each([&](const Value& x) { out.push_back(x.v); });
    return out;
  };
  for (int i = 0; i < 3; ++i) list.append(std::make_unique<Value>(Value{i}));
  std::vector<Value> kept;
  list.copy_to(kept);
  list.clear();
  const Value* held = &list.append(std::make_unique<Value>(Value{9}));
  list.assign(kept);
  EXPECT_EQ(values(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(list.size(), 3u);
  const Value* first = nullptr;
  list.for_each([&](const Value& x) { first = first ? first : &x; });
  EXPECT_EQ(first, held) << "the object already held is reused";
  list.assign({Value{7}});
  EXPECT_EQ(values(), (std::vector<int>{7}));
  EXPECT_EQ(list.size(), 1u);
  list.copy_to(kept);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].v, 7);
}

}  // namespace
