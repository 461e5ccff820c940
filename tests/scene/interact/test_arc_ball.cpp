// The arc ball's sphere points, drag rotations and axis constraints.
#include "scene/interact/ArcBall.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

CVVector Turn(const CVQuaternion& q, const CVVector& v)
{
    CVQuaternion c = q;
    c.Conjugate();
    CVQuaternion r = q * CVQuaternion(v.x, v.y, v.z, 0.0f) * c;
    return CVVector(r.x, r.y, r.z);
}

TEST(ArcBall, MousePointsLieOnTheUnitSphereOrItsRim)
{
    CVVector centre(10.0f, 10.0f, 0.0f);
    CVVector in = CVArcBall::MouseOnSphere(10.0f, 10.0f, centre, 2.0f);
    EXPECT_FLOAT_EQ(in.z, 1.0f);
    CVVector half = CVArcBall::MouseOnSphere(11.0f, 10.0f, centre, 2.0f);
    EXPECT_FLOAT_EQ(half.x, 0.5f);
    EXPECT_FLOAT_EQ(half.z, std::sqrt(0.75f));
    CVVector out = CVArcBall::MouseOnSphere(10.0f, 16.0f, centre, 2.0f);
    EXPECT_FLOAT_EQ(out.y, 1.0f);
    EXPECT_FLOAT_EQ(out.z, 0.0f);
    CVVector bad = CVArcBall::MouseOnSphere(std::numeric_limits<float>::infinity(), 0.0f, centre, 2.0f);
    EXPECT_FLOAT_EQ(bad.z, 1.0f);
}

TEST(ArcBall, DragFromCentreToRimTurnsAQuarterAboutTheVertical)
{
    CVArcBall ball;
    ASSERT_TRUE(ball.Place(CVVector(0.0f, 0.0f, 0.0f), 1.0f));
    EXPECT_FALSE(ball.Place(CVVector(0.0f, 0.0f, 0.0f), 0.0f));
    ball.SetMouse(0.0f, 0.0f);
    ball.BeginDrag();
    EXPECT_TRUE(ball.IsDragging());
    ball.SetMouse(1.0f, 0.0f);
    ball.Update();
    ball.EndDrag();
    // The arc from the front to the right is a quarter; the ball turns twice
    // that: the front goes to the back.
    CVVector front = Turn(ball.GetRotation(), CVVector(0.0f, 0.0f, 1.0f));
    EXPECT_NEAR(front.z, -1.0f, 1e-5f);
    CVVector up = Turn(ball.GetRotation(), CVVector(0.0f, 1.0f, 0.0f));
    EXPECT_NEAR(up.y, 1.0f, 1e-5f);
    ball.Init(nullptr);
    EXPECT_EQ(ball.GetRotation().w, 1.0f);
}

TEST(ArcBall, VerticalConstraintKeepsTheTurnAboutY)
{
    CVArcBall ball;
    ball.Place(CVVector(0.0f, 0.0f, 0.0f), 1.0f);
    EXPECT_FALSE(ball.SetConstraintSet(3));
    ASSERT_TRUE(ball.SetConstraintSet(CVArcBall::VerticalAxis));
    ball.SetMouse(0.0f, 0.0f);
    ball.BeginDrag();
    ball.SetMouse(0.3f, 0.4f); // a diagonal move
    ball.Update();
    CVQuaternion q = ball.GetRotation();
    EXPECT_NEAR(q.x, 0.0f, 1e-6f);
    EXPECT_NEAR(q.z, 0.0f, 1e-6f);
    EXPECT_GT(std::fabs(q.y), 0.1f);

    CVVector axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    EXPECT_EQ(CVArcBall::NearestConstraintAxis(CVVector(0.0f, 0.1f, 0.99f), axes, 3), 0);
    CVVector on = CVArcBall::ConstrainToAxis(CVVector(0.6f, 0.8f, 0.0f), CVVector(0.0f, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(on.x, 1.0f);
    EXPECT_FLOAT_EQ(on.y, 0.0f);
}

} // namespace
