// Self-running nodes on a stepped clock: rotors, pendulums and shuttles,
// blinkers, key frames, and the time base they share.
#include "platform/time/Clock.h"
#include "scene/nodes/Animation.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Blinker.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/KeyFrameAnimation.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/Offscreen.h"
#include "tests/support/SceneRender.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

using lumo::test::Offscreen;

namespace {

const float kPi = 3.14159265f;

// A render area on a clock the test moves, in milliseconds from a fixed start.
class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumo::SetClock([this] { return kStart + std::chrono::milliseconds(mNow); });
        ASSERT_TRUE(Area()->MakeCurrent());
        Area()->SetAnimationEnabled(1);
    }
    void TearDown() override { lumo::SetClock({}); }

    CVGLRenderArea* Area() const { return mOff.area(); }
    // Stamps a frame at the time and renders the node as the render action would.
    void Frame(CVNode* node, long long ms)
    {
        mNow = ms;
        Area()->SetCurrentAnimationTime();
        node->Render(&mState, Area());
    }
    template <class N>
    N* Held(N* node)
    {
        node->Ref();
        mHeld.reset(node, [](CVNode* n) { n->Unref(); });
        return node;
    }

    const std::chrono::system_clock::time_point kStart = std::chrono::system_clock::from_time_t(1000000000);
    long long mNow = 0;
    Offscreen mOff;
    CVState mState;
    std::shared_ptr<CVNode> mHeld;
};

CVAnimation* Rotor(float speed)
{
    auto* a = new CVAnimation;
    a->speed.SetValue(speed);
    a->on.SetValue(1);
    a->rotation.SetValue(0, 0, 1, 0);
    return a;
}

TEST_F(AnimationTest, RotorAtHalfSpeedTurnsPiInOneSecond)
{
    CVAnimation* rotor = Held(Rotor(0.5f));
    Frame(rotor, 0); // starts the run
    EXPECT_EQ(rotor->rotation.GetValue().angle, 0.0f);
    Frame(rotor, 1000);
    EXPECT_NEAR(rotor->rotation.GetValue().angle, kPi, 1e-5);
    EXPECT_EQ(rotor->rotation.GetValue().z, 1.0f); // the axis stays
    // The same frame drawn again (another pass) moves nothing.
    Frame(rotor, 1000);
    EXPECT_NEAR(rotor->rotation.GetValue().angle, kPi, 1e-5);
    // A frame 3 seconds late moves by the fraction of a turn only: 1.5 -> 0.5,
    // from a half turn to a full one.
    Frame(rotor, 4000);
    float angle = rotor->rotation.GetValue().angle;
    EXPECT_NEAR(std::remainder(angle, 2 * kPi), 0.0f, 1e-4);
    EXPECT_LE(angle, 2 * kPi + 1e-4); // a full turn is taken off past 2 pi
    Frame(rotor, 4500);
    EXPECT_NEAR(rotor->rotation.GetValue().angle, kPi / 2, 1e-4);
}

TEST_F(AnimationTest, ElapsedTimeNeverWrapsRound)
{
    SYSTEMTIME earlier = lumo::GetSystemTimeUtc();
    mNow += 1500;
    SYSTEMTIME later = lumo::GetSystemTimeUtc();
    EXPECT_EQ(CVAnimation::GetElapsedTime(later, earlier), 1500u);
    EXPECT_EQ(CVAnimation::GetElapsedTime(earlier, later), 0u); // the clock was set back
    EXPECT_EQ(CVAnimation::GetElapsedTime(later, SYSTEMTIME{}), 0u); // no valid date
}

TEST_F(AnimationTest, NothingMovesWithoutAFrameTimeOrWhilePicking)
{
    CVAnimation* rotor = Held(Rotor(0.5f));
    rotor->Render(&mState, Area()); // the area was never stamped
    mNow = 1000;
    rotor->Render(&mState, Area());
    EXPECT_EQ(rotor->rotation.GetValue().angle, 0.0f);
    Frame(rotor, 2000);
    CVState picking;
    picking.m_bPickMode = 1;
    mNow = 3000;
    Area()->SetCurrentAnimationTime();
    rotor->Render(&picking, Area());
    EXPECT_EQ(rotor->rotation.GetValue().angle, 0.0f);
    rotor->Render(&mState, nullptr);
    EXPECT_EQ(rotor->rotation.GetValue().angle, 0.0f);
}

TEST_F(AnimationTest, ActiveNodesCountThemselvesAndRestartWhenReenabled)
{
    CVAnimation* rotor = Held(Rotor(0.5f));
    Area()->ResetAnimationNodeCounter();
    Area()->SetAnimationEnabled(0);
    Frame(rotor, 0);
    EXPECT_EQ(Area()->GetAnimationNodeCounter(), 1); // counted while disabled too
    rotor->on.SetValue(0);
    Frame(rotor, 100);
    EXPECT_EQ(Area()->GetAnimationNodeCounter(), 1);
    rotor->on.SetValue(1);
    Area()->SetAnimationEnabled(1);
    Frame(rotor, 5000); // re-enabled: a new run starts here, no jump
    EXPECT_EQ(rotor->rotation.GetValue().angle, 0.0f);
    Frame(rotor, 5500);
    EXPECT_NEAR(rotor->rotation.GetValue().angle, kPi / 2, 1e-5);
}

TEST_F(AnimationTest, SpeedZeroNegativeOrNotANumberHoldsStill)
{
    for (float speed : {0.0f, -1.0f, NAN, INFINITY}) {
        CVAnimation* rotor = Held(Rotor(speed));
        Frame(rotor, 0);
        Frame(rotor, 700);
        EXPECT_EQ(rotor->rotation.GetValue().angle, 0.0f) << speed;
    }
}

TEST_F(AnimationTest, PendulumSwingsBetweenItsAnglesAndStaysWhenTheyAreEqual)
{
    CVAnimation* p = Held(Rotor(1.0f));
    p->type.SetValue(L"pendulum"); // any case
    p->angle1.SetValue(1.0f);
    p->angle2.SetValue(-1.0f);
    Frame(p, 0);
    Frame(p, 100); // towards angle1 at 4 radians per swing: 0.4
    EXPECT_NEAR(p->rotation.GetValue().angle, 0.4f, 1e-5);
    Frame(p, 300); // 0.8 more passes angle1: stops there and turns
    EXPECT_NEAR(p->rotation.GetValue().angle, 1.0f, 1e-6);
    Frame(p, 500);
    EXPECT_NEAR(p->rotation.GetValue().angle, 0.2f, 1e-5);
    Frame(p, 900);
    EXPECT_NEAR(p->rotation.GetValue().angle, -1.0f, 1e-6);

    CVAnimation* still = Held(Rotor(1.0f));
    still->type.SetValue(L"Pendulum");
    still->angle1.SetValue(0.7f);
    still->angle2.SetValue(0.7f);
    Frame(still, 0);
    Frame(still, 250);
    EXPECT_EQ(still->rotation.GetValue().angle, 0.7f);
    Frame(still, 600);
    EXPECT_EQ(still->rotation.GetValue().angle, 0.7f);
}

TEST_F(AnimationTest, ShuttleTurnsOnlyWhenEveryComponentHasArrived)
{
    CVAnimation* s = Held(Rotor(1.0f));
    s->type.SetValue(L"Shuttle");
    s->translation1.SetValue(1, 2, 0);
    s->translation2.SetValue(0, 0, 0);
    Frame(s, 0);
    Frame(s, 250); // x reaches 1 at 2 a swing; y, at 4, reaches 1 only
    EXPECT_FLOAT_EQ(s->translation.GetValue().x, 0.5f);
    EXPECT_FLOAT_EQ(s->translation.GetValue().y, 1.0f);
    Frame(s, 500);
    EXPECT_FLOAT_EQ(s->translation.GetValue().x, 1.0f);
    EXPECT_FLOAT_EQ(s->translation.GetValue().y, 2.0f);
    Frame(s, 750); // all arrived: back towards translation2
    EXPECT_FLOAT_EQ(s->translation.GetValue().x, 0.5f);
    EXPECT_FLOAT_EQ(s->translation.GetValue().y, 1.0f);
}

CVBlinker* Blinker(int choices, float speed)
{
    auto* b = new CVBlinker;
    for (int i = 0; i < choices; ++i)
        b->choice.Add(new CVGroup);
    b->whichChoice.SetValue(0);
    b->speed.SetValue(speed);
    b->on.SetValue(1);
    return b;
}

TEST_F(AnimationTest, BlinkerTogglesEveryHalfPeriod)
{
    CVBlinker* b = Held(Blinker(1, 1.0f));
    Frame(b, 0);
    const int expected[] = {0, 0, -1, -1, 0, 0, -1}; // every 250 ms
    for (int k = 1; k < 7; ++k) {
        Frame(b, 250 * k);
        EXPECT_EQ(b->whichChoice.GetValue(), expected[k]) << k * 250 << " ms";
    }
}

TEST_F(AnimationTest, BlinkerCyclesThroughItsChoicesAndWrapsPastTheLast)
{
    CVBlinker* b = Held(Blinker(3, 1.0f)); // a third of a second each
    Frame(b, 0);
    Frame(b, 340);
    EXPECT_EQ(b->whichChoice.GetValue(), 1);
    Frame(b, 680);
    EXPECT_EQ(b->whichChoice.GetValue(), 2);
    Frame(b, 1020);
    EXPECT_EQ(b->whichChoice.GetValue(), 0);
    b->whichChoice.SetValue(7); // past the last choice
    Frame(b, 1360);
    EXPECT_EQ(b->whichChoice.GetValue(), 0);

    CVBlinker* none = Held(Blinker(0, 1.0f));
    Frame(none, 0);
    Frame(none, 5000);
    EXPECT_EQ(none->whichChoice.GetValue(), 0);
}

TEST_F(AnimationTest, BlinkerWithoutAPeriodStepsOncePerNewFrame)
{
    for (float speed : {0.0f, -2.0f, NAN}) {
        CVBlinker* b = Held(Blinker(2, speed));
        Frame(b, 0);
        Frame(b, 0); // a second pass of the same frame
        EXPECT_EQ(b->whichChoice.GetValue(), 0) << speed;
        Frame(b, 16);
        Frame(b, 16);
        EXPECT_EQ(b->whichChoice.GetValue(), 1) << speed;
        Frame(b, 33);
        EXPECT_EQ(b->whichChoice.GetValue(), 0) << speed;
    }
}

TEST_F(AnimationTest, BlinkerShowsItsNewChoiceInTheFrameItChanges)
{
    lumo::test::SceneRender r;
    r.Area()->SetAnimationEnabled(1);
    auto* camera = lumo::test::OrthoCamera(4.0f);
    camera->Ref();
    auto* shape = new CVShape;
    shape->geometry.SetValue(new CVBox);
    auto* blinker = new CVBlinker;
    blinker->choice.Add(shape);
    blinker->whichChoice.SetValue(0);
    blinker->speed.SetValue(1.0f);
    blinker->on.SetValue(1);
    camera->children.Add(blinker);
    const lumo::test::Pixel black{0, 0, 0};
    for (long long ms : {0, 250, 500, 750, 1000}) {
        mNow = ms;
        r.Area()->SetCurrentAnimationTime();
        r.Render(camera);
        bool shown = ms < 500 || ms >= 1000;
        EXPECT_EQ(r.At(50, 50) != black, shown) << ms << " ms";
    }
    camera->Unref();
}

CVKeyFrameAnimation* Keyed(CVKeyFrame* frame)
{
    auto* k = new CVKeyFrameAnimation;
    k->keyFrames.Add(frame);
    k->whichKeyFrame.SetValue(0);
    return k;
}

// Keys 0, 1 and 3 played in one second: the key time runs at speed / (last
// key - first key) = 3 keys a second.
CVKeyFrame* ThreeKeys()
{
    auto* f = new CVKeyFrame;
    f->key.Add(0.0f);
    f->key.Add(1.0f);
    f->key.Add(3.0f);
    f->translationKeyValue.Add(0, 0, 0);
    f->translationKeyValue.Add(1, 0, 0);
    f->translationKeyValue.Add(1, 2, 0);
    f->scaleKeyValue.Add(1, 1, 1);
    f->scaleKeyValue.Add(2, 2, 2);
    f->scaleKeyValue.Add(3, 3, 3);
    f->rotationKeyValue.Add(0, 0, 1, 0);
    f->rotationKeyValue.Add(0, 0, 1, 1);
    f->rotationKeyValue.Add(0, 0, 1, 2);
    f->speed.SetValue(9.0f);
    return f;
}

TEST_F(AnimationTest, KeyFramesInterpolateBetweenTheNearestKeysAndPlayOnce)
{
    CVKeyFrameAnimation* k = Held(Keyed(ThreeKeys()));
    k->translation.SetValue(9, 9, 9);
    Frame(k, 0); // starts at key 0
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0);
    Frame(k, 200); // key time 0.6: between keys 0 and 1
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.6f);
    EXPECT_FLOAT_EQ(k->scale.GetValue().y, 1.6f);
    EXPECT_FLOAT_EQ(k->rotation.GetValue().angle, 0.6f);
    Frame(k, 500); // key time 1.5: a quarter of the way from key 1 to key 3
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 1.0f);
    EXPECT_FLOAT_EQ(k->translation.GetValue().y, 0.5f);
    EXPECT_FLOAT_EQ(k->scale.GetValue().z, 2.25f);
    Frame(k, 1000); // the end: the last key's values, and nothing chosen
    EXPECT_FLOAT_EQ(k->translation.GetValue().y, 2.0f);
    EXPECT_EQ(k->whichKeyFrame.GetValue(), -1);
    Frame(k, 1500);
    EXPECT_FLOAT_EQ(k->translation.GetValue().y, 2.0f);
    // Choosing it again plays it again from its first key.
    k->whichKeyFrame.SetValue(0);
    Frame(k, 2000);
    EXPECT_FLOAT_EQ(k->translation.GetValue().y, 0.0f);
    Frame(k, 2200);
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.6f);
}

TEST_F(AnimationTest, NearestKeysAtTheirEdges)
{
    CVMFFloat keys;
    int i = -5, j = -5;
    EXPECT_EQ(CVKeyFrameAnimation::GetNearestKeys(keys, 0.0, i, j), 0);
    EXPECT_EQ(i, 0);
    keys.Add(1.0f);
    EXPECT_EQ(CVKeyFrameAnimation::GetNearestKeys(keys, 1.0, i, j), 0);
    EXPECT_EQ(i, 1);
    keys.Add(2.0f);
    keys.Add(4.0f);
    EXPECT_EQ(CVKeyFrameAnimation::GetNearestKeys(keys, 1.0, i, j), 1);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(j, 1);
    EXPECT_EQ(CVKeyFrameAnimation::GetNearestKeys(keys, 2.0, i, j), 1);
    EXPECT_EQ(i, 0); // the first pair that holds it
    EXPECT_EQ(CVKeyFrameAnimation::GetNearestKeys(keys, 4.0, i, j), 1);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(CVKeyFrameAnimation::GetNearestKeys(keys, 4.5, i, j), 0);
    EXPECT_EQ(i, 3);
    EXPECT_EQ(CVKeyFrameAnimation::GetNearestKeys(keys, 0.5, i, j), 0);
}

TEST_F(AnimationTest, FaultyKeyFramesEndOrHoldWithoutCrashOrNaN)
{
    auto finite = [](CVKeyFrameAnimation* k) {
        const Point3fStruct& t = k->translation.GetValue();
        const CVRotation& r = k->rotation.GetValue();
        return std::isfinite(t.x) && std::isfinite(t.y) && std::isfinite(t.z) && std::isfinite(r.angle);
    };
    // No keys at all: it ends at once, the pose untouched.
    auto* empty = new CVKeyFrame;
    empty->translationKeyValue.Add(5, 5, 5);
    CVKeyFrameAnimation* k = Held(Keyed(empty));
    Frame(k, 0);
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 5); // key 0's value
    Frame(k, 100);
    EXPECT_EQ(k->whichKeyFrame.GetValue(), -1);

    // Keys that do not increase from first to last: ends on the last.
    auto* backwards = ThreeKeys();
    backwards->key.SetAt(2, -1.0f);
    k = Held(Keyed(backwards));
    Frame(k, 0);
    Frame(k, 100);
    EXPECT_EQ(k->whichKeyFrame.GetValue(), -1);
    EXPECT_FLOAT_EQ(k->translation.GetValue().y, 2.0f);
    EXPECT_TRUE(finite(k));

    // Keys out of order in between: only the pairs that hold the time count.
    auto* zigzag = ThreeKeys();
    zigzag->key.SetAt(1, 5.0f); // 0, 5, 3
    k = Held(Keyed(zigzag));
    Frame(k, 0);
    Frame(k, 500); // key time 1.5 lies in 0..5
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.3f);
    EXPECT_TRUE(finite(k));

    // Value lists shorter than the keys: the missing values leave the field alone.
    auto* shortLists = ThreeKeys();
    shortLists->translationKeyValue.SetSize(1);
    shortLists->scaleKeyValue.SetSize(0);
    k = Held(Keyed(shortLists));
    Frame(k, 0);
    Frame(k, 500);
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.0f);
    EXPECT_FLOAT_EQ(k->scale.GetValue().x, 1.0f);
    EXPECT_FLOAT_EQ(k->rotation.GetValue().angle, 1.25f);
    Frame(k, 1000);
    EXPECT_EQ(k->whichKeyFrame.GetValue(), -1);
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.0f);

    // Speed 0 or negative: holds its first key while chosen.
    for (float speed : {0.0f, -1.0f, NAN}) {
        auto* slow = ThreeKeys();
        slow->speed.SetValue(speed);
        k = Held(Keyed(slow));
        Frame(k, 0);
        Frame(k, 10000);
        EXPECT_EQ(k->whichKeyFrame.GetValue(), 0) << speed;
        EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.0f) << speed;
        EXPECT_TRUE(finite(k)) << speed;
    }

    // A choice past the last key frame plays nothing.
    k = Held(Keyed(ThreeKeys()));
    k->whichKeyFrame.SetValue(3);
    Area()->ResetAnimationNodeCounter();
    Frame(k, 0);
    Frame(k, 500);
    EXPECT_EQ(Area()->GetAnimationNodeCounter(), 0);
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.0f);
}

TEST_F(AnimationTest, ChoosingAnotherKeyFrameRestartsFromItsFirstKey)
{
    auto* second = ThreeKeys();
    second->translationKeyValue.SetAt(0, {7, 0, 0});
    CVKeyFrameAnimation* k = Held(Keyed(ThreeKeys()));
    k->keyFrames.Add(second);
    Frame(k, 0);
    Frame(k, 200);
    k->whichKeyFrame.SetValue(1);
    Frame(k, 300);
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 7.0f);
    Frame(k, 500); // key time 0.6 of the second frame: 7 -> 1
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 7.0f - 6.0f * 0.6f);
}

TEST_F(AnimationTest, StartsAndStepsUseTheFramesTimeNotALaterReading)
{
    CVKeyFrameAnimation* k = Held(Keyed(ThreeKeys()));
    // The frame was stamped at 0; the clock has moved on by the time the
    // node starts. A start read from the clock would lie after the next
    // frame's time.
    mNow = 0;
    Area()->SetCurrentAnimationTime();
    mNow = 5000;
    k->Render(&mState, Area());
    Frame(k, 200);
    EXPECT_EQ(k->whichKeyFrame.GetValue(), 0);
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.6f);
}

TEST_F(AnimationTest, TimeGoingBackwardsStartsKeyFramesAndBlinkersOverInsteadOfRunningAhead)
{
    CVKeyFrameAnimation* k = Held(Keyed(ThreeKeys()));
    Frame(k, 10000);
    Frame(k, 10200);
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.6f);
    Frame(k, 3000); // set back: the key frame goes on from its first key
    EXPECT_EQ(k->whichKeyFrame.GetValue(), 0);
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.0f);
    Frame(k, 3200);
    EXPECT_FLOAT_EQ(k->translation.GetValue().x, 0.6f);

    CVBlinker* b = Held(Blinker(3, 1.0f));
    Frame(b, 10000);
    Frame(b, 10340);
    EXPECT_EQ(b->whichChoice.GetValue(), 1);
    Frame(b, 2000); // set back
    EXPECT_EQ(b->whichChoice.GetValue(), 1);
    Frame(b, 2200);
    EXPECT_EQ(b->whichChoice.GetValue(), 1);
    Frame(b, 2340); // a third of a second after the new time
    EXPECT_EQ(b->whichChoice.GetValue(), 2);
}

} // namespace
