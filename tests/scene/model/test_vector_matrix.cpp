#include "scene/model/Matrix.h"
#include "scene/model/Plane.h"
#include "scene/model/Ray.h"
#include "scene/model/Vector.h"
#include "scene/model/Viewport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float kPi = 3.14159265f;

void ExpectNear(const CVVector& v, float x, float y, float z, float eps = 1e-5f)
{
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

TEST(Vector, CrossDotAndNormalise)
{
    CVVector x(1, 0, 0), y(0, 1, 0);
    ExpectNear(x * y, 0, 0, 1);
    EXPECT_FLOAT_EQ(CVVector(1, 2, 3) % CVVector(4, 5, 6), 32.0f);
    CVVector v(3, 4, 0);
    EXPECT_FLOAT_EQ(v.Normalize(), 5.0f);
    ExpectNear(v, 0.6f, 0.8f, 0);
    CVVector zero;
    !zero;
    EXPECT_EQ(zero, CVVector(0, 0, 0));
    CVVector w(0, 0, 2);
    w.Normalize(3.0f);
    ExpectNear(w, 0, 0, 3);
}

TEST(Vector, AngleIsZeroForZeroLengthAndExactForParallel)
{
    EXPECT_FLOAT_EQ(CVVector(0, 0, 0).Angle(CVVector(1, 0, 0)), 0.0f);
    EXPECT_NEAR(CVVector(2, 0, 0).Angle(CVVector(0, 5, 0)), kPi / 2, 1e-6);
    // Rounding can push the normalised dot product past 1: still a number.
    CVVector a(0.1f, 0.2f, 0.3f);
    EXPECT_FALSE(std::isnan(a.Angle(a * 3.0f)));
    EXPECT_TRUE(CVVector(0, 1, 0).IsParallel(CVVector(0, -1, 0)));
    EXPECT_FALSE(CVVector(0, 1, 0).IsParallel(CVVector(0, 2, 0)));
}

TEST(Vector, RotateAboutAxisAndProjectOntoPlane)
{
    CVVector v(1, 0, 0);
    v.Rotate(CVVector(0, 0, 1), kPi / 2);
    ExpectNear(v, 0, 1, 0);
    CVPlane ground(CVVector(0, 1, 0), -2.0f); // y = 2
    ExpectNear(CVVector(5, 7, -1).Project(ground), 5, 2, -1);
}

TEST(Matrix, ProductIsThisTimesOther)
{
    CVMatrix translate(1, 0, 0, 5, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    CVMatrix scale(2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1);
    CVVector p;
    (translate * scale).MultVecMatrix(CVVector(1, 1, 1), p); // scale first, then translate
    ExpectNear(p, 7, 2, 2);
    (scale * translate).MultVecMatrix(CVVector(1, 1, 1), p);
    ExpectNear(p, 12, 2, 2);
}

TEST(Matrix, InverseUndoesAGeneralTransform)
{
    CVMatrix m(2, 1, 0, 3, 0, 1, 4, -1, 1, 0, 3, 2, 0, 0, 0, 1);
    CVMatrix product = m * m.Inverse();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(product[i], CVMatrix::m_identity.m[i], 1e-5) << "element " << i;
    CVMatrix projective(1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0, 2);
    product = projective.Inverse() * projective;
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(product[i], CVMatrix::m_identity.m[i], 1e-5) << "element " << i;
}

TEST(Matrix, SingularInverseIsTheUndividedAdjoint)
{
    CVMatrix zero(CVMatrix::m_zero);
    EXPECT_EQ(zero.Inverse(), zero);
    // Rank 3: determinant 0, adjoint non-zero and returned as is.
    CVMatrix flat(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    CVMatrix adj = flat.Inverse();
    EXPECT_FLOAT_EQ(adj[10], 1.0f);
    EXPECT_FLOAT_EQ(adj[0], 0.0f);
}

TEST(Matrix, DirectionsIgnoreTranslationAndTexCoordsUseTheUpperRows)
{
    CVMatrix m(0, -1, 0, 10, 1, 0, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1);
    CVVector d;
    m.MultDirMatrix(CVVector(1, 0, 0), d);
    ExpectNear(d, 0, 1, 0);
    Point3fStruct p;
    m.MultVecMatrix(Point3fStruct{1, 0, 0}, p);
    EXPECT_FLOAT_EQ(p.x, 10);
    EXPECT_FLOAT_EQ(p.y, 21);
    EXPECT_FLOAT_EQ(p.z, 30);
    TexCoord2fStruct t;
    m.MultVecMatrix(TexCoord2fStruct{0.5f, 0.25f}, t);
    EXPECT_FLOAT_EQ(t.s, 9.75f);
    EXPECT_FLOAT_EQ(t.t, 20.5f);
}

TEST(PlaneRay, IntersectionPointAndParameter)
{
    CVPlane plane(CVVector(0, 0, 1), -4.0f); // z = 4
    CVRay ray;
    ray.SetOrigin(CVVector(1, 1, 0));
    ray.SetDirection(CVVector(0, 0, 2));
    ExpectNear(ray.GetDirection(), 0, 0, 1);
    float denom, t;
    ExpectNear(plane.Intersect(ray, denom, t), 1, 1, 4);
    EXPECT_FLOAT_EQ(t, 4.0f);
    EXPECT_FLOAT_EQ(denom, -1.0f);
    ray.SetDirection(CVVector(0, 0, 2), 1);
    ExpectNear(ray.GetDirection(), 0, 0, 2);
}

TEST(Viewport, PointInViewportIncludesAllFourEdges)
{
    CVViewport vp(10, 20, 100, 50);
    EXPECT_TRUE(vp.PointInViewport(10, 20));
    EXPECT_TRUE(vp.PointInViewport(110, 70));
    EXPECT_TRUE(vp.PointInViewport(10, 70));
    EXPECT_TRUE(vp.PointInViewport(110, 20));
    EXPECT_FALSE(vp.PointInViewport(9, 30));
    EXPECT_FALSE(vp.PointInViewport(50, 71));
    EXPECT_FLOAT_EQ(vp.GetAspectRatio(), 2.0f);
}

} // namespace
