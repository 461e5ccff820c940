#include "scene/model/Box3f.h"
#include "scene/model/Quaternion.h"
#include "scene/model/Rotation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float kPi = 3.14159265f;

TEST(Quaternion, HamiltonProductComposesRotations)
{
    CVQuaternion qz, qx;
    qz.Set(CVVector(0, 0, 1), kPi / 2);
    qx.Set(CVVector(1, 0, 0), kPi / 2);
    // i * j = k for unit quaternions of the axes.
    CVQuaternion i(1, 0, 0, 0), j(0, 1, 0, 0);
    CVQuaternion k = i * j;
    EXPECT_FLOAT_EQ(k.z, 1.0f);
    EXPECT_FLOAT_EQ(k.w, 0.0f);
    CVQuaternion jk = j * i;
    EXPECT_FLOAT_EQ(jk.z, -1.0f);
    // Two quarter turns about z make a half turn.
    CVVector axis;
    float angle;
    (qz * qz).Get(axis, angle);
    EXPECT_NEAR(angle, kPi, 1e-5);
    EXPECT_NEAR(axis.z, 1.0f, 1e-5);
}

TEST(Quaternion, IdentityGivesZeroAngleAndZeroAxis)
{
    CVVector axis(9, 9, 9);
    float angle = -1;
    CVQuaternion::MultIdentity().Get(axis, angle);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(axis, CVVector(0, 0, 0));
}

TEST(Quaternion, InverseConjugateAndBisect)
{
    CVQuaternion q;
    q.Set(CVVector(0, 1, 0), 1.0f);
    CVQuaternion inv = q;
    inv.Inverse();
    CVQuaternion id = q * inv;
    EXPECT_NEAR(id.w, 1.0f, 1e-6);
    EXPECT_NEAR(id.y, 0.0f, 1e-6);
    CVQuaternion half = CVQuaternion::Bisect(CVQuaternion::MultIdentity(), q);
    CVVector axis;
    float angle;
    half.Get(axis, angle);
    EXPECT_NEAR(angle, 0.5f, 1e-5);
}

TEST(Quaternion, ConvertXYZFollowsTheRotationOrder)
{
    CVQuaternion xyz, zxy;
    xyz.ConvertXYZtoQuaternion(90, 90, 0, eRotateXYZ);
    zxy.ConvertXYZtoQuaternion(90, 90, 0, eRotateZXY);
    CVQuaternion rx, ry;
    rx.Set(CVVector(1, 0, 0), 90 * 0.017453292f);
    ry.Set(CVVector(0, 1, 0), 90 * 0.017453292f);
    CVQuaternion a = rx * ry, b = rx * ry; // z skipped, so zxy is x then y as well
    EXPECT_NEAR(xyz.Dot(a), 1.0f, 1e-5);
    EXPECT_NEAR(zxy.Dot(b), 1.0f, 1e-5);
    CVQuaternion yxz;
    yxz.ConvertXYZtoQuaternion(90, 90, 0, eRotateYXZ);
    EXPECT_NEAR(yxz.Dot(ry * rx), 1.0f, 1e-5);
    EXPECT_LT(std::fabs(yxz.Dot(a)), 0.9999f); // the orders really differ
}

TEST(Rotation, SetValueFromVectorsAndEulerAngles)
{
    CVRotation r;
    EXPECT_EQ(r, CVRotation(0, 1, 0, 0));
    r.SetValue(CVVector(1, 0, 0), CVVector(0, 3, 0));
    EXPECT_NEAR(r.z, 1.0f, 1e-6);
    EXPECT_NEAR(r.angle, kPi / 2, 1e-6);
    r.SetValue(0.0f, 0.0f, 0.7f);
    EXPECT_NEAR(r.angle, 0.7f, 1e-5);
    EXPECT_NEAR(r.z, 1.0f, 1e-5);
    r.SetValue(2.0f, 0.0f, 0.0f, 5.0f); // stored unnormalised
    EXPECT_EQ(r, CVRotation(2, 0, 0, 5));
    EXPECT_EQ(r + r, CVRotation());
}

TEST(Box3f, UnionOfPointsAndBoxesAndEmptiness)
{
    CVBox3f box;
    EXPECT_TRUE(box.IsEmpty());
    box.Union(Point3fStruct{1, 2, 3});
    EXPECT_FALSE(box.IsEmpty());
    EXPECT_EQ(box.GetSize(), CVVector(0, 0, 0));
    box.Union(Point3dStruct{-1, 0, 5});
    CVVector lo, hi;
    box.ComputeMinMax(lo, hi);
    EXPECT_EQ(lo, CVVector(-1, 0, 3));
    EXPECT_EQ(hi, CVVector(1, 2, 5));
    CVBox3f empty;
    box.Union(empty);
    EXPECT_EQ(box.GetCenter(), CVVector(0, 1, 4));
    CVBox3f other;
    other.Set(CVVector(1, 2, 5), CVVector(4, 4, 6));
    EXPECT_EQ(box.Intersect(other), 1); // touching corners overlap
    other.Set(CVVector(1.5f, 0, 0), CVVector(4, 4, 6));
    EXPECT_EQ(box.Intersect(other), 0);
    EXPECT_EQ(box.Intersect(empty), 0);
}

TEST(Box3f, TransformTakesTheExtentOfTheCornersAndRecordsMaxZ)
{
    CVBox3f box;
    box.Set(CVVector(-1, -1, -1), CVVector(1, 1, 1));
    float c = std::cos(kPi / 4), s = std::sin(kPi / 4);
    CVMatrix rotZThenShift(c, -s, 0, 10, s, c, 0, 0, 0, 0, 1, -3, 0, 0, 0, 1);
    box.Transform(rotZThenShift);
    EXPECT_NEAR(box.GetSize().x, 2 * std::sqrt(2.0f), 1e-5);
    EXPECT_NEAR(box.GetSize().z, 2.0f, 1e-6);
    EXPECT_NEAR(box.GetCenter().x, 10.0f, 1e-5);
    EXPECT_FLOAT_EQ(box.GetMaxZ(), -2.0f);
    CVBox3f empty;
    empty.Transform(rotZThenShift);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(Box3f, SubtractPlaneKeepsTheVisibleSideAndClipListsCopy)
{
    CVBox3f box;
    box.Set(CVVector(-2, -2, -2), CVVector(2, 2, 2));
    box.SubtractPlane(CVVector(1, 0, 0), 1.0f); // keeps x >= -1
    CVVector lo, hi;
    box.ComputeMinMax(lo, hi);
    EXPECT_FLOAT_EQ(lo.x, -1);
    box.SubtractPlane(CVVector(0, -1, 0), 0.5f); // keeps y <= 0.5
    box.ComputeMinMax(lo, hi);
    EXPECT_FLOAT_EQ(hi.y, 0.5f);
    box.SubtractPlane(CVVector(0, 0, 1), -5.0f); // keeps z >= 5: nothing left
    EXPECT_TRUE(box.IsEmpty());

    CVBox3f clipped;
    EXPECT_FALSE(clipped.HaveClipList());
    clipped.AddClipInfo(CVVector(0, 1, 0), 2.0f);
    CVBox3f copy = clipped;
    clipped.DeleteClipList();
    EXPECT_FALSE(clipped.HaveClipList());
    ASSERT_TRUE(copy.HaveClipList());
    EXPECT_FLOAT_EQ((*copy.GetClipList())[0].value, 2.0f);
}

} // namespace
