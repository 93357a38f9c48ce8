#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "scene/element.h"
#include "scene/render_list.h"
#include "scene/timed_sprite.h"

namespace {

std::vector<int>* drawLog = nullptr;

// An element that records its draws and answers hit tests inside a box.
class Probe : public Element {
 public:
  Probe(int tag, int layerValue, bool click = false, int x1 = 0, int y1 = 0, int x2 = 0, int y2 = 0)
      : tag_(tag), box_{x1, y1, x2, y2} {
    layer = layerValue;
    clickable = click ? 1 : 0;
    id = tag;
  }
  void Draw(BITMAP*) override {
    if (drawLog) drawLog->push_back(tag_);
  }
  int HitTest(int x, int y) override { return x >= box_[0] && x <= box_[2] && y >= box_[1] && y <= box_[3]; }
  void OnPress() override { ++presses; }
  void OnRelease() override { ++releases; }
  int presses = 0, releases = 0;

 private:
  int tag_;
  int box_[4];
};

class RenderListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drawLog = &drawn;
    TickCounter.store(0);
  }
  void TearDown() override {
    // The probes were locals of the test and are gone: drop the tree unread.
    list.Forget();
    drawLog = nullptr;
  }
  std::vector<int> DrawOrder() {
    drawn.clear();
    list.DrawAll(nullptr);
    return drawn;
  }
  RenderList list;
  std::vector<int> drawn;
};

TEST_F(RenderListTest, DrawsLowerLayersFirstAndEqualLayersInOrderOfAdding) {
  Probe a(1, 1), b(2, 0), c(3, 1);
  list.Add(&a);
  list.Add(&b);
  list.Add(&c);
  EXPECT_EQ(DrawOrder(), (std::vector<int>{2, 1, 3}));
}

TEST_F(RenderListTest, RemovingTheRootWithBothSubtreesKeepsTheOrderOfTheRest) {
  Probe root(1, 5), low(2, 2), lower(3, 1), high(4, 8), same(5, 5), higher(6, 9);
  for (Probe* p : {&root, &low, &lower, &high, &same, &higher}) list.Add(p);
  ASSERT_EQ(DrawOrder(), (std::vector<int>{3, 2, 1, 5, 4, 6}));
  list.Remove(&root);
  EXPECT_EQ(DrawOrder(), (std::vector<int>{3, 2, 5, 4, 6}));
  EXPECT_EQ(root.GetLeft(), nullptr);
  EXPECT_EQ(root.GetRight(), nullptr);
  EXPECT_FALSE(root.IsOnList());
}

// Any sequence of adds and removes must draw like a list sorted by layer,
// stable in the order of adding.
TEST_F(RenderListTest, RandomAddsAndRemovesAlwaysDrawInLayerThenInsertionOrder) {
  std::srand(99);
  std::vector<Probe*> probes;
  for (int i = 0; i < 60; ++i) probes.push_back(new Probe(i, std::rand() % 5));
  std::vector<std::pair<int, int>> model;  // (layer, tag) in order of adding
  for (int round = 0; round < 2000; ++round) {
    Probe* p = probes[std::rand() % probes.size()];
    if (p->IsOnList()) {
      list.Remove(p);
      model.erase(std::find_if(model.begin(), model.end(), [&](auto& m) { return m.second == p->GetId(); }));
    } else {
      list.Add(p);
      model.push_back({p->GetLayer(), p->GetId()});
    }
    std::vector<std::pair<int, int>> expected = model;
    std::stable_sort(expected.begin(), expected.end(), [](auto& l, auto& r) { return l.first < r.first; });
    std::vector<int> tags;
    for (auto& e : expected) tags.push_back(e.second);
    ASSERT_EQ(DrawOrder(), tags) << "after round " << round;
    ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
  }
  for (Probe* p : probes) {
    if (p->IsOnList()) list.Remove(p);
    EXPECT_EQ(p->GetLeft(), nullptr);
    EXPECT_EQ(p->GetRight(), nullptr);
    delete p;
  }
}

TEST_F(RenderListTest, AddingTwiceLogsTheIdAndReturnsNull) {
  Probe a(-1, 1);
  EXPECT_EQ(list.Add(&a), &a);
  testing::internal::CaptureStdout();
  EXPECT_EQ(list.Add(&a), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: Adding element (-1) already added\n");
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(DrawOrder(), std::vector<int>{-1});
}

TEST_F(RenderListTest, RemovingAnElementNotThereLogsItsId) {
  Probe a(3, 1), other(4, 1);
  list.Add(&other);
  testing::internal::CaptureStdout();
  list.Remove(&a);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: Removing element (3) not there\n");
  EXPECT_EQ(list.Count(), 1);
}

TEST_F(RenderListTest, PointingAtAnEmptyListFindsNothing) { EXPECT_EQ(list.PointAt(10, 10), -1); }

TEST_F(RenderListTest, PointingFindsTheTopmostClickableElement) {
  Probe under(1, 1, true, 0, 0, 100, 100), over(2, 2, true, 0, 0, 100, 100), later(3, 2, true, 0, 0, 100, 100);
  Probe notClickable(4, 9, false, 0, 0, 100, 100);
  list.Add(&later);
  list.Add(&under);
  list.Add(&notClickable);
  EXPECT_EQ(list.PointAt(50, 50), 3);
  list.Add(&over);  // same layer as `later`, added after it: drawn on top
  EXPECT_EQ(list.PointAt(50, 50), 2);
  EXPECT_EQ(list.PointAt(200, 200), -1);
}

TEST_F(RenderListTest, AClickableSpriteWithoutItsOwnHitTestIsNeverFound) {
  TimedSprite sprite;  // clickable, but the base hit test never hits
  ASSERT_TRUE(sprite.IsClickable());
  list.Add(&sprite);
  EXPECT_EQ(list.PointAt(0, 0), -1);
  list.Remove(&sprite);
}

TEST_F(RenderListTest, HoverLightsUpOneTickAfterThePointerArrivesAndGoesOutWhenItLeaves) {
  Probe box(5, 6, true, 0, 0, 10, 10);
  list.Add(&box);
  EXPECT_EQ(list.PointAt(5, 5), 5);
  EXPECT_FALSE(box.IsHighlighted());
  EXPECT_EQ(list.PointAt(5, 5), 5);  // same tick: still dark
  EXPECT_FALSE(box.IsHighlighted());
  TickCallback();
  EXPECT_EQ(list.PointAt(5, 5), 5);
  EXPECT_TRUE(box.IsHighlighted());
  EXPECT_EQ(list.PointAt(50, 50), -1);
  EXPECT_FALSE(box.IsHighlighted());
}

TEST_F(RenderListTest, RemovingTheHoveredElementUnhighlightsItAndForgetsIt) {
  Probe box(5, 6, true, 0, 0, 10, 10);
  list.Add(&box);
  list.PointAt(1, 1);
  TickCallback();
  list.PointAt(1, 1);
  ASSERT_TRUE(box.IsHighlighted());
  list.Remove(&box);
  EXPECT_FALSE(box.IsHighlighted());
  EXPECT_EQ(list.Hovered(), nullptr);
}

TEST_F(RenderListTest, RemovingThePressedElementForgetsItWithoutARelease) {
  Probe box(5, 6, true, 0, 0, 10, 10);
  list.Add(&box);
  list.Press(2, 2);
  EXPECT_EQ(box.presses, 1);
  box.Highlight();
  list.Remove(&box);
  EXPECT_FALSE(box.IsHighlighted());
  EXPECT_EQ(list.Pressed(), nullptr);
  list.Release();
  EXPECT_EQ(box.releases, 0);
}

TEST_F(RenderListTest, PressAndReleaseReachTheElementUnderThePointerOnce) {
  Probe box(5, 6, true, 0, 0, 10, 10);
  list.Add(&box);
  list.Release();  // without a press: nothing
  EXPECT_EQ(box.releases, 0);
  list.Press(50, 50);  // misses: nothing pressed
  list.Release();
  EXPECT_EQ(box.releases, 0);
  list.Press(3, 3);
  list.Release();
  list.Release();
  EXPECT_EQ(box.presses, 1);
  EXPECT_EQ(box.releases, 1);
}

TEST_F(RenderListTest, ForgetDropsTheTreeWithoutTouchingElements) {
  Probe a(1, 1);
  list.Add(&a);
  list.Forget();
  EXPECT_EQ(list.Root(), nullptr);
  EXPECT_TRUE(a.IsOnList());
  a.SetOnList(0);
}

TEST(ElementTest, AFreshElementIsUnlistedScreenSpaceAndNeverHit) {
  Element e;
  EXPECT_EQ(e.GetId(), -1);
  EXPECT_EQ(e.GetLayer(), 0);
  EXPECT_FALSE(e.IsClickable());
  EXPECT_FALSE(e.IsOnList());
  EXPECT_FALSE(e.IsWorldSpace());
  EXPECT_FALSE(e.IsHighlighted());
  EXPECT_EQ(e.HitTest(0, 0), 0);
  e.SetViewport(0, 0, 1023, 767);
  EXPECT_TRUE(e.IsWorldSpace());
}

TEST(ElementTest, LongNamesAreCutToTheBuffer) {
  Element e;
  e.SetName("a name far longer than the thirty-one characters that fit");
  EXPECT_EQ(std::string(e.GetName()).size(), 31u);
}

}  // namespace
