// ObjectTable: numbered and referenced objects, lookups that must find
// nothing, the walking order, and that every object is released exactly once.
#include "platform/core/object_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A record like the platform's: its native handle comes first, 0 means none.
struct Thing {
  std::intptr_t handle;
  int payload;
  bool Live() const { return handle != 0; }
};

std::vector<std::intptr_t> released;

void ReleaseThing(Thing& thing) {
  if (thing.handle != 0) released.push_back(thing.handle);
  thing.handle = 0;
}

class ObjectTableTest : public ::testing::Test {
 protected:
  void SetUp() override { released.clear(); }

  // Creates a live record with the given handle.
  ObjectId Make(ObjectId id, std::intptr_t handle) {
    Thing* thing = table_.Create(id);
    EXPECT_NE(thing, nullptr);
    if (!thing) return 0;
    thing->handle = handle;
    return id == kNewObject ? ObjectTable<Thing>::ReferenceOf(thing) : id;
  }

  std::vector<std::intptr_t> Walk() const {
    std::vector<std::intptr_t> handles;
    table_.ForEachLive([&](const Thing& thing) { handles.push_back(thing.handle); });
    return handles;
  }

  ObjectTable<Thing> table_{ReleaseThing};
};

TEST_F(ObjectTableTest, NewRecordsAreZeroFilled) {
  Thing* numbered = table_.Create(12);
  ASSERT_NE(numbered, nullptr);
  EXPECT_EQ(numbered->handle, 0);
  EXPECT_EQ(numbered->payload, 0);
  Thing* made = table_.Create(kNewObject);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->handle, 0);
  EXPECT_EQ(made->payload, 0);
}

TEST_F(ObjectTableTest, LookupFindsLiveObjectsUnderEitherIdentifier) {
  Make(3, 300);
  const ObjectId ref = Make(kNewObject, 900);
  ASSERT_NE(table_.Find(3), nullptr);
  EXPECT_EQ(table_.Find(3)->handle, 300);
  ASSERT_NE(table_.Find(ref), nullptr);
  EXPECT_EQ(table_.Find(ref)->handle, 900);
}

TEST_F(ObjectTableTest, RecordWithoutHandleIsNotFound) {
  table_.Create(2);
  Thing* made = table_.Create(kNewObject);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(table_.Find(2), nullptr);
  EXPECT_EQ(table_.Find(ObjectTable<Thing>::ReferenceOf(made)), nullptr);
  EXPECT_TRUE(Walk().empty());
}

TEST_F(ObjectTableTest, UnknownIdentifiersFindNothing) {
  Make(1, 100);
  EXPECT_EQ(table_.Find(0), nullptr);  // inside the numbered part, never used
  EXPECT_EQ(table_.Find(5), nullptr);  // beyond it
  EXPECT_EQ(table_.Find(kNewObject), nullptr);
  EXPECT_EQ(table_.Find(-7), nullptr);
  Thing outsider{1, 0};
  EXPECT_EQ(table_.Find(ObjectTable<Thing>::ReferenceOf(&outsider)), nullptr);
}

TEST_F(ObjectTableTest, NegativeNumbersOtherThanNewAreRefused) {
  EXPECT_EQ(table_.Create(-2), nullptr);
}

TEST_F(ObjectTableTest, CreatingUnderANumberInUseReleasesThePreviousObject) {
  Make(4, 400);
  Make(4, 401);
  EXPECT_EQ(released, (std::vector<std::intptr_t>{400}));
  ASSERT_NE(table_.Find(4), nullptr);
  EXPECT_EQ(table_.Find(4)->handle, 401);
}

TEST_F(ObjectTableTest, NewRecordsHaveDistinctIdentifiers) {
  const ObjectId a = Make(kNewObject, 1);
  const ObjectId b = Make(kNewObject, 2);
  EXPECT_NE(a, b);
  EXPECT_NE(a, 0);
  EXPECT_NE(a, kNewObject);
  EXPECT_EQ(table_.Find(a)->handle, 1);
  EXPECT_EQ(table_.Find(b)->handle, 2);
}

TEST_F(ObjectTableTest, RemovedObjectsAreReleasedAndGone) {
  Make(2, 200);
  const ObjectId ref = Make(kNewObject, 800);
  table_.Remove(2);
  table_.Remove(ref);
  EXPECT_EQ(released, (std::vector<std::intptr_t>{200, 800}));
  EXPECT_EQ(table_.Find(2), nullptr);
  EXPECT_EQ(table_.Find(ref), nullptr);  // a stale reference finds nothing
  table_.Remove(ref);                    // and removing it again does nothing
  table_.Remove(2);
  table_.Remove(99);
  EXPECT_EQ(released.size(), 2u);
}

TEST_F(ObjectTableTest, WalkVisitsNumbersAscendingThenRecordsOldestFirst) {
  const ObjectId first = Make(kNewObject, 1001);
  Make(5, 5);
  Make(kNewObject, 1002);
  Make(1, 1);
  table_.Create(2);  // not live: skipped
  Make(kNewObject, 1003);
  Make(3, 3);
  table_.Remove(first);
  Make(kNewObject, 1004);
  EXPECT_EQ(Walk(), (std::vector<std::intptr_t>{1, 3, 5, 1002, 1003, 1004}));
}

TEST_F(ObjectTableTest, ClearReleasesEveryObjectInWalkingOrder) {
  const ObjectId a = Make(kNewObject, 1001);
  Make(7, 7);
  const ObjectId b = Make(kNewObject, 1002);
  Make(0, 10);
  table_.Clear();
  EXPECT_EQ(released, (std::vector<std::intptr_t>{10, 7, 1001, 1002}));
  EXPECT_EQ(table_.Find(0), nullptr);
  EXPECT_EQ(table_.Find(7), nullptr);
  EXPECT_EQ(table_.Find(a), nullptr);
  EXPECT_EQ(table_.Find(b), nullptr);
  EXPECT_TRUE(Walk().empty());
  // The table is usable again.
  Make(7, 77);
  EXPECT_EQ(Walk(), (std::vector<std::intptr_t>{77}));
}

}  // namespace
