// The pieces under the pick action that need no OpenGL: reading hit records
// from a selection buffer without going past it, electing the closest hit,
// the per-pick name table and the picked-shape record.
#include "scene/interact/HitRecords.h"
#include "scene/interact/PickElection.h"
#include "scene/interact/PickNames.h"
#include "scene/interact/PickedShape.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Shape.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Buffer = std::vector<std::uint32_t>;
const std::uint32_t kNone = CVPickNames::kNoName;

TEST(HitRecords, ReadsTheCountedRecords)
{
    // Two records: one name, then two names.
    Buffer b = {1, 10, 20, 7, 2, 5, 6, 3, 4, kNone, kNone};
    auto records = lumo::pick::ReadHitRecords(b.data(), b.size(), 2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].nameCount, 1u);
    EXPECT_EQ(records[0].minDepth, 10u);
    EXPECT_EQ(records[0].maxDepth, 20u);
    EXPECT_EQ(records[0].names[0], 7u);
    EXPECT_EQ(records[1].nameCount, 2u);
    EXPECT_EQ(records[1].names[0], 3u);
    EXPECT_EQ(records[1].names[1], 4u);
    // Fewer than counted are there: reading stops at the unwritten entries.
    EXPECT_EQ(lumo::pick::ReadHitRecords(b.data(), b.size(), 5).size(), 2u);
    // A count of 0 reads nothing.
    EXPECT_TRUE(lumo::pick::ReadHitRecords(b.data(), b.size(), 0).empty());
}

TEST(HitRecords, ARecordRunningPastTheBufferEndsTheReading)
{
    Buffer b = {1, 0, 0, 9, 2, 0, 0, 8};
    // The second record says two names; only one entry is left.
    EXPECT_EQ(lumo::pick::ReadHitRecords(b.data(), b.size(), 2).size(), 1u);
    // Exactly at the end it fits.
    b.push_back(9);
    EXPECT_EQ(lumo::pick::ReadHitRecords(b.data(), b.size(), 2).size(), 2u);
    // A name count that would wrap an index round.
    Buffer huge = {0xFFFFFFFDu, 0, 0, 1};
    EXPECT_TRUE(lumo::pick::ReadHitRecords(huge.data(), huge.size(), 1).empty());
    // Not even a record's head.
    Buffer two = {0, 0};
    EXPECT_TRUE(lumo::pick::ReadHitRecords(two.data(), two.size(), 1).empty());
    EXPECT_TRUE(lumo::pick::ReadHitRecords(nullptr, 10, 1).empty());
    Buffer empty;
    EXPECT_TRUE(lumo::pick::ReadHitRecords(empty.data(), 0, -1).empty());
}

TEST(HitRecords, AfterAnOverflowTheCompleteRecordsAreRead)
{
    // An overflowed buffer: two whole records and the head of a third.
    Buffer b = {2, 1, 1, 0, kNone, 2, 2, 2, 1, kNone, 2, 3, 3, 2};
    auto records = lumo::pick::ReadHitRecords(b.data(), b.size(), -1);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].names[0], 1u);
    // With only the first record written and the rest never touched.
    Buffer partial = {2, 1, 1, 0, kNone, kNone, kNone, kNone};
    EXPECT_EQ(lumo::pick::ReadHitRecords(partial.data(), partial.size(), -1).size(), 1u);
}

TEST(PickElection, TheNearestMinimumDepthWins)
{
    CVPickElection e;
    EXPECT_EQ(e.Closest(), -1);
    e.Offer(0, 500, 600, 0);
    e.Offer(1, 300, 900, 0);
    e.Offer(2, 400, 400, 0);
    EXPECT_EQ(e.Closest(), 1);
}

TEST(PickElection, TiesGoToTheSmallerMaximumThenToTheLaterHit)
{
    CVPickElection smaller;
    smaller.Offer(0, 300, 500, 0);
    smaller.Offer(1, 300, 400, 0);
    smaller.Offer(2, 300, 450, 0);
    EXPECT_EQ(smaller.Closest(), 1);
    CVPickElection equal;
    equal.Offer(0, 300, 400, 0);
    equal.Offer(1, 300, 400, 0);
    EXPECT_EQ(equal.Closest(), 1);
    // The farthest depth of all is still a hit.
    CVPickElection far;
    far.Offer(0, 0xFFFFFFFFu, 0xFFFFFFFFu, 0);
    EXPECT_EQ(far.Closest(), 0);
}

TEST(PickElection, OnTopHitsWinAndDeferredHitsOnlyStandIn)
{
    CVPickElection top;
    top.Offer(0, 900, 900, CVPickElection::RULE_OVERRIDE);
    top.Offer(1, 100, 100, 0);
    top.Offer(2, 950, 990, CVPickElection::RULE_OVERRIDE);
    top.Offer(3, 50, 50, 0);
    EXPECT_EQ(top.Closest(), 2); // the last hit drawn on top

    CVPickElection deferred;
    deferred.Offer(0, 10, 10, CVPickElection::RULE_EXCLUDED);
    deferred.Offer(1, 900, 900, 0);
    EXPECT_EQ(deferred.Closest(), 1);

    CVPickElection alone;
    alone.Offer(0, 10, 10, CVPickElection::RULE_EXCLUDED);
    alone.Offer(1, 5, 5, CVPickElection::RULE_EXCLUDED);
    EXPECT_EQ(alone.Closest(), 1); // the last deferred hit
}

TEST(PickNames, PathsFollowTheNamedAncestors)
{
    CVPickNames names;
    CVGroup a, b, c;
    std::uint32_t na = names.Add(&a, kNone, 0);
    std::uint32_t nb = names.Add(&b, na, CVPickElection::RULE_EXCLUDED);
    std::uint32_t nc = names.Add(&c, na, 0);
    EXPECT_EQ(na, 0u);
    EXPECT_EQ(names.PathTo(nb), (std::vector<CVNode*>{&a, &b}));
    EXPECT_EQ(names.PathTo(nc), (std::vector<CVNode*>{&a, &c}));
    EXPECT_EQ(names.RulesOf(nb), CVPickElection::RULE_EXCLUDED);
    EXPECT_TRUE(names.PathTo(kNone).empty());
    EXPECT_TRUE(names.PathTo(3).empty());
    EXPECT_FALSE(names.IsName(3));
    names.Clear();
    EXPECT_FALSE(names.IsName(0));
}

TEST(PickedShape, HoldsItsPathAndTheShapesDetail)
{
    auto* group = new CVGroup;
    auto* shape = new CVShape;
    auto* box = new CVBox;
    shape->geometry.SetValue(box);
    group->children.Add(shape);
    group->Ref();
    {
        CVPickedShape picked;
        picked.AddNode(group, 7);
        EXPECT_EQ(picked.GetDetail(), nullptr) << "a group has no detail";
        picked.AddNode(nullptr, 0);
        picked.AddNode(shape, 3);
        EXPECT_EQ(picked.GetPath(), (CVNodePath{group, shape}));
        EXPECT_EQ(picked.GetShape(), shape);
        ASSERT_NE(picked.GetDetail(), nullptr);
        EXPECT_TRUE(picked.GetDetail()->IsKindOf<CVBoxDetail>());
        EXPECT_EQ(group->GetRef(), 2);
        EXPECT_EQ(shape->GetRef(), 2);
        EXPECT_EQ(box->GetRef(), 2) << "the shape and the detail";
    }
    EXPECT_EQ(group->GetRef(), 1);
    EXPECT_EQ(shape->GetRef(), 1);
    EXPECT_EQ(box->GetRef(), 1);
    group->Unref();
    CVPickedShape none;
    EXPECT_EQ(none.GetShape(), nullptr);
    EXPECT_EQ(none.GetDetail(), nullptr);
}

} // namespace
