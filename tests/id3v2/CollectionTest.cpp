// Tests of the frame collection: order, 1-based positions, out-of-range
// positions, removal, clearing and shared ownership.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "id3v2/clsCF.h"
#include "id3v2/clsF2.h"
#include "id3v2/clsOF.h"
#include "id3v2/clsTF.h"
#include "id3v2/clsWF.h"

namespace brindle::id3v2 {
namespace {

std::shared_ptr<clsF> frameWithId(std::shared_ptr<clsF> frame, const char* id) {
  frame->frameid(id);
  return frame;
}

// The ids of the frames in walk order.
std::vector<std::string> ids(const clsF2& frames) {
  std::vector<std::string> out;
  for (const std::shared_ptr<clsF>& frame : frames) out.push_back(frame->frameid());
  return out;
}

class CollectionTest : public ::testing::Test {
 protected:
  void addThree() {
    frames.add(frameWithId(std::make_shared<clsTF>(), "TIT2"));
    frames.add(frameWithId(std::make_shared<clsCF>(), "COMM"));
    frames.add(frameWithId(std::make_shared<clsWF>(), "WXXX"));
  }

  clsF2 frames;
};

TEST_F(CollectionTest, StartsEmpty) {
  EXPECT_EQ(frames.count(), 0);
  EXPECT_EQ(frames.begin(), frames.end());
  EXPECT_EQ(frames.item(1), nullptr);
}

TEST_F(CollectionTest, ClearOnEmptyCollectionDoesNothing) {
  frames.clear();
  EXPECT_EQ(frames.count(), 0);
}

TEST_F(CollectionTest, WalkYieldsFramesInTheOrderAdded) {
  addThree();
  EXPECT_EQ(frames.count(), 3);
  EXPECT_EQ(ids(frames), (std::vector<std::string>{"TIT2", "COMM", "WXXX"}));
}

TEST_F(CollectionTest, ItemsAreNumberedFromOne) {
  addThree();
  ASSERT_NE(frames.item(1), nullptr);
  EXPECT_EQ(frames.item(1)->frameid(), "TIT2");
  EXPECT_EQ(frames.item(2)->frameid(), "COMM");
  EXPECT_EQ(frames.item(3)->frameid(), "WXXX");
}

TEST_F(CollectionTest, ItemOutsideTheRangeIsNull) {
  addThree();
  EXPECT_EQ(frames.item(0), nullptr);
  EXPECT_EQ(frames.item(4), nullptr);
  EXPECT_EQ(frames.item(-1), nullptr);
}

TEST_F(CollectionTest, AddingTheSameFrameTwiceHoldsItTwice) {
  auto frame = frameWithId(std::make_shared<clsTF>(), "TALB");
  frames.add(frame);
  frames.add(frame);
  EXPECT_EQ(frames.count(), 2);
  EXPECT_EQ(frames.item(1), frames.item(2));
}

TEST_F(CollectionTest, NullFrameIsIgnored) {
  addThree();
  frames.add(nullptr);
  EXPECT_EQ(frames.count(), 3);
}

TEST_F(CollectionTest, RemoveMovesLaterFramesUp) {
  addThree();
  EXPECT_TRUE(frames.remove(2));
  EXPECT_EQ(frames.count(), 2);
  EXPECT_EQ(ids(frames), (std::vector<std::string>{"TIT2", "WXXX"}));
  EXPECT_EQ(frames.item(2)->frameid(), "WXXX");
  EXPECT_TRUE(frames.remove(1));
  EXPECT_TRUE(frames.remove(1));
  EXPECT_EQ(frames.count(), 0);
}

TEST_F(CollectionTest, RemoveOutsideTheRangeChangesNothing) {
  addThree();
  EXPECT_FALSE(frames.remove(0));
  EXPECT_FALSE(frames.remove(4));
  EXPECT_FALSE(frames.remove(-3));
  EXPECT_EQ(ids(frames), (std::vector<std::string>{"TIT2", "COMM", "WXXX"}));
}

TEST_F(CollectionTest, ClearEmptiesTheCollection) {
  addThree();
  frames.clear();
  EXPECT_EQ(frames.count(), 0);
  EXPECT_EQ(frames.begin(), frames.end());
  frames.add(frameWithId(std::make_shared<clsOF>(), "APIC"));
  EXPECT_EQ(ids(frames), (std::vector<std::string>{"APIC"}));
}

TEST_F(CollectionTest, CollectionSharesOwnership) {
  std::weak_ptr<clsF> watched;
  {
    auto frame = frameWithId(std::make_shared<clsTF>(), "TPE1");
    watched = frame;
    frames.add(frame);
  }
  // The collection alone keeps the frame alive.
  ASSERT_FALSE(watched.expired());
  std::shared_ptr<clsF> held = frames.item(1);
  frames.clear();
  // Another holder keeps it alive after the collection let go.
  ASSERT_FALSE(watched.expired());
  EXPECT_EQ(held->frameid(), "TPE1");
  held.reset();
  EXPECT_TRUE(watched.expired());
}

TEST_F(CollectionTest, RemovedFrameIsReleased) {
  std::weak_ptr<clsF> watched;
  {
    auto frame = frameWithId(std::make_shared<clsCF>(), "COMM");
    watched = frame;
    frames.add(frame);
  }
  ASSERT_TRUE(frames.remove(1));
  EXPECT_TRUE(watched.expired());
}

}  // namespace
}  // namespace brindle::id3v2
