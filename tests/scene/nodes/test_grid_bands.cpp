// The arithmetic of elevation grids without OpenGL: colour levels, the band
// polygons of cell triangles (covering each cell exactly once, saddles
// included), contour segments at their level, the points, texture
// coordinates and normals of the grid.
#include "scene/nodes/GridBands.h"
#include "scene/nodes/GridContours.h"
#include "scene/nodes/GridGeometry.h"
#include "scene/nodes/GridLevels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace lumo::grid;

namespace {

const RGBAColorStruct kA{1, 0, 0, 1}, kB{0, 1, 0, 1}, kC{0, 0, 1, 1};

bool SameColour(const RGBAColorStruct& a, const RGBAColorStruct& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

GridPoint At(float x, float z, float h, std::int64_t id)
{
    GridPoint p;
    p.x = x;
    p.z = z;
    p.y = h;
    p.h = h;
    p.id = id;
    return p;
}

// Twice the signed area of a polygon in the x-z plane, seen from above
// (counter-clockwise positive).
double Area(const GridPoint* p, int n)
{
    double a = 0;
    for (int k = 0; k < n; ++k) {
        const GridPoint& u = p[k];
        const GridPoint& v = p[(k + 1) % n];
        a += double(u.z) * v.x - double(v.z) * u.x;
    }
    return a;
}

// Whether (x, z) lies inside a convex polygon that runs counter-clockwise
// seen from above (strictly: points on its edges do not count).
bool Inside(const GridPoint* p, int n, double x, double z)
{
    for (int k = 0; k < n; ++k) {
        const GridPoint& u = p[k];
        const GridPoint& v = p[(k + 1) % n];
        const double side = (double(v.z) - u.z) * (x - u.x) - (double(v.x) - u.x) * (z - u.z);
        if (side <= 0)
            return false;
    }
    return true;
}

TEST(GridLevels, LevelsAscendAndColourTheBandBelowThem)
{
    const float keys[] = {0, 10, 20};
    const RGBAColorStruct colours[] = {kA, kB, kC};
    Levels levels(keys, 3, colours, 3);
    RGBAColorStruct c{0.5f, 0.5f, 0.5f, 1};
    ASSERT_TRUE(levels.ColourOf(10, c));
    EXPECT_TRUE(SameColour(c, kC)); // the first level strictly above
    ASSERT_TRUE(levels.ColourOf(25, c));
    EXPECT_TRUE(SameColour(c, kC)); // above every level: the last
    ASSERT_TRUE(levels.ColourOf(-5, c));
    EXPECT_TRUE(SameColour(c, kA));
    ASSERT_TRUE(levels.ColourOf(9.99f, c));
    EXPECT_TRUE(SameColour(c, kB));
    EXPECT_EQ(levels.Band(-1), 0);
    EXPECT_EQ(levels.Band(0), 1);
    EXPECT_EQ(levels.Band(20), 3);

    Levels none;
    c = {0.5f, 0.5f, 0.5f, 1};
    EXPECT_FALSE(none.ColourOf(3, c));
    EXPECT_EQ(c.red, 0.5f);
}

TEST(GridLevels, KeysThatDoNotAscendOrAreNoNumbersAreNoLevels)
{
    const float keys[] = {5, 3, NAN, 7, 7, 9};
    const RGBAColorStruct colours[] = {kA, kB, kC, kB, kC};
    Levels levels(keys, 6, colours, 5); // the sixth key has no colour
    ASSERT_EQ(levels.Count(), 2);
    EXPECT_EQ(levels.Height(0), 5.0f);
    EXPECT_EQ(levels.Height(1), 7.0f);
    EXPECT_EQ(levels.KeyOf(1), 3);
    EXPECT_TRUE(SameColour(levels.Colour(1), kB));

    // At most kMaxLevels levels: the limit and one past it.
    std::vector<float> many(Levels::kMaxLevels + 1);
    std::vector<RGBAColorStruct> manyColours(many.size(), kA);
    for (size_t k = 0; k < many.size(); ++k)
        many[k] = float(k);
    EXPECT_EQ(Levels(many.data(), Levels::kMaxLevels, manyColours.data(), int(many.size())).Count(),
              Levels::kMaxLevels);
    EXPECT_EQ(Levels(many.data(), int(many.size()), manyColours.data(), int(many.size())).Count(),
              Levels::kMaxLevels);
}

TEST(GridBands, AnEdgeIsCutAtTheSamePointFromEitherEnd)
{
    const GridPoint a = At(0.1f, 0.3f, 0.7f, 12), b = At(1.7f, 0.3f, 3.1f, 13);
    const GridPoint p = Crossing(a, b, 1.3f), q = Crossing(b, a, 1.3f);
    EXPECT_EQ(std::memcmp(&p.x, &q.x, sizeof(float) * 3), 0);
    EXPECT_EQ(p.y, 1.3f); // a surface point: at the level's height
    EXPECT_GT(p.x, a.x);
    EXPECT_LT(p.x, b.x);

    // A flat grid keeps its y; only the height that chooses the band moves.
    GridPoint fa = a, fb = b;
    fa.y = fb.y = 5.0f;
    EXPECT_EQ(Crossing(fa, fb, 1.3f).y, 5.0f);
}

// The bands of the four triangles of a cell cover it exactly: their areas
// add up to the cell's, and every sample point lies in exactly one band
// polygon (nowhere none: no crack; nowhere two: no overlap).
void ExpectCellCovered(const float h[4], const Levels& levels)
{
    GridPoint c[4] = {At(0, 0, h[0], 0), At(0, 1, h[1], 3), At(1, 1, h[2], 4), At(1, 0, h[3], 1)};
    GridPoint t[4][3];
    CellTriangles(c, t);
    BandPolygons out;
    for (auto& tri : t)
        ClipTriangle(tri[0], tri[1], tri[2], levels, levels.Count() + 1, out);
    double area = 0;
    for (const auto& poly : out.polygons) {
        const double a = Area(out.points.data() + poly.first, poly.count);
        EXPECT_GE(a, -1e-9);
        area += a;
        // Every point of a band lies between the band's levels.
        for (int k = 0; k < poly.count; ++k) {
            const float ph = out.points[size_t(poly.first + k)].h;
            if (poly.band > 0) {
                EXPECT_GE(ph, levels.Height(poly.band - 1));
            }
            if (poly.band < levels.Count()) {
                EXPECT_LE(ph, levels.Height(poly.band));
            }
        }
    }
    EXPECT_NEAR(area, 2.0, 1e-5); // twice the unit cell's area
    for (int sx = 1; sx < 40; ++sx)
        for (int sz = 1; sz < 40; ++sz) {
            const double x = (sx + 0.31) / 40.0, z = (sz + 0.17) / 40.0;
            int hits = 0;
            for (const auto& poly : out.polygons)
                hits += Inside(out.points.data() + poly.first, poly.count, x, z) ? 1 : 0;
            EXPECT_EQ(hits, 1) << x << " " << z;
        }
}

TEST(GridBands, SaddleAndPlainCellsAreCoveredOnceByTheirBands)
{
    const float keys[] = {0.5f, 1.0f, 1.5f};
    const RGBAColorStruct colours[] = {kA, kB, kC};
    const Levels levels(keys, 3, colours, 3);
    const float saddle[4] = {0, 2, 0, 2};
    const float saddleCentreOnLevel[4] = {0, 2, 0, 2.0f}; // centre height 1: exactly a level
    const float ramp[4] = {0, 0, 2, 2};
    const float cornerOnLevel[4] = {0.5f, 0.2f, 1.7f, 1.0f};
    const float flat[4] = {0.7f, 0.7f, 0.7f, 0.7f};
    ExpectCellCovered(saddle, levels);
    ExpectCellCovered(saddleCentreOnLevel, levels);
    ExpectCellCovered(ramp, levels);
    ExpectCellCovered(cornerOnLevel, levels);
    ExpectCellCovered(flat, levels);
}

TEST(GridBands, ContourSegmentsLieAtTheirLevel)
{
    const float keys[] = {1.25f};
    const RGBAColorStruct colours[] = {kA};
    const Levels levels(keys, 1, colours, 1);
    GridPoint a = At(0, 0, 0, 0), b = At(0, 1, 2, 1), c = At(1, 0, 3, 2);
    GridPoint from, to;
    ASSERT_TRUE(ContourSegment(a, b, c, levels, 0, from, to));
    EXPECT_EQ(from.y, 1.25f);
    EXPECT_EQ(to.y, 1.25f);
    EXPECT_EQ(from.h, 1.25f);
    // All three corners on one side: no segment.
    GridPoint d = At(0, 0, 2, 0);
    EXPECT_FALSE(ContourSegment(d, b, c, levels, 0, from, to));
}

TEST(GridContours, ARampHasOneStraightContourAtTheLevel)
{
    // Heights rise with x: the level 1.5 runs along x = 1.5 over every row.
    std::vector<float> heights;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 5; ++i)
            heights.push_back(float(i));
    GridInput in;
    in.xDim = 5;
    in.zDim = 4;
    in.heights = heights.data();
    in.xSpacing = 1;
    in.zSpacing = 1;
    const GridGeometry grid(in);
    const float keys[] = {1.5f, 3.0f};
    const RGBAColorStruct colours[] = {kA, kB};
    const std::vector<ContourLines> lines = MakeContourLines(grid, Levels(keys, 2, colours, 2));
    ASSERT_EQ(lines.size(), 2u);
    const ContourLines& l = lines[0];
    ASSERT_FALSE(l.points.empty());
    float zMin = 10, zMax = -10;
    for (const Point3fStruct& p : l.points) {
        EXPECT_EQ(p.x, 1.5f);
        EXPECT_EQ(p.y, 1.5f);
        zMin = std::min(zMin, p.z);
        zMax = std::max(zMax, p.z);
    }
    EXPECT_EQ(zMin, 0.0f);
    EXPECT_EQ(zMax, 3.0f);
    // Joined: one polyline.
    EXPECT_EQ(std::count(l.coordIndex.begin(), l.coordIndex.end(), -1), 1);
    // The level 3 meets grid points exactly: still one line, at y = 3.
    for (const Point3fStruct& p : lines[1].points)
        EXPECT_EQ(p.y, 3.0f);
    EXPECT_EQ(std::count(lines[1].coordIndex.begin(), lines[1].coordIndex.end(), -1), 1);
}

TEST(GridGeometry, CornerNormalsAverageOnlyTheCellsThatAreDrawn)
{
    // A 3 x 3 grid, flat but for a spike at the far corner that is missing.
    std::vector<float> h = {0, 0, 0, 0, 0, 0, 0, 0, kMissingValue};
    GridInput in;
    in.xDim = 3;
    in.zDim = 3;
    in.heights = h.data();
    in.xSpacing = 1;
    in.zSpacing = 1;
    in.skipMissing = true;
    const GridGeometry grid(in);
    const std::vector<Point3fStruct> faces = grid.FaceNormals();
    const std::vector<Point3fStruct> normals = grid.VertexNormals(faces);
    // The centre point's cells: three flat ones and the one with the missing
    // corner (drawn as the triangle of its other corners, also flat).
    for (const Point3fStruct& n : normals) {
        EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z));
        EXPECT_FLOAT_EQ(n.y, 1.0f);
    }
    // Without skipping, the missing value is a height: the normals next to
    // it tilt, and none is a number that is no number.
    in.skipMissing = false;
    const GridGeometry spiky(in);
    const std::vector<Point3fStruct> tilted = spiky.VertexNormals(spiky.FaceNormals());
    for (const Point3fStruct& n : tilted)
        EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z));

    // Two missing corners leave a cell out: the point (1, 1) then averages
    // its three other cells only, which tilt towards +x.
    std::vector<float> g = {0, 0, 0, 0, 0, 1, 0, kMissingValue, kMissingValue};
    in.heights = g.data();
    in.skipMissing = true;
    const GridGeometry holes(in);
    const std::vector<Point3fStruct> f = holes.FaceNormals();
    const std::vector<Point3fStruct> v = holes.VertexNormals(f);
    const Point3fStruct& centre = v[4];
    // Cells (0, 0) flat, (1, 0) sloping down to -x, (0, 1) drawn as a
    // triangle (flat), (1, 1) left out.
    const double sx = double(f[0].x) + f[1].x + f[2].x, sy = double(f[0].y) + f[1].y + f[2].y,
                 sz = double(f[0].z) + f[1].z + f[2].z;
    const double len = std::sqrt(sx * sx + sy * sy + sz * sz);
    EXPECT_NEAR(centre.x, sx / len, 1e-6);
    EXPECT_NEAR(centre.y, sy / len, 1e-6);
    EXPECT_LT(centre.x, 0.0f);
}

TEST(GridGeometry, CoordinateListsPlaceTheLinesAndSpanTheTexture)
{
    std::vector<float> h(12, 0.0f);
    const std::vector<double> xs = {2, 3, 5, 10}, zs = {-1, 0, 4};
    GridInput in;
    in.xDim = 4;
    in.zDim = 3;
    in.heights = h.data();
    in.xList = &xs;
    in.zList = &zs;
    // Spacing 0: the texture runs over the lists' own extent.
    const GridGeometry grid(in);
    EXPECT_EQ(grid.X(2), 5.0f);
    EXPECT_EQ(grid.Z(0), -1.0f);
    EXPECT_EQ(grid.S(0), 0.0f);
    EXPECT_FLOAT_EQ(grid.S(2), 3.0f / 8.0f);
    EXPECT_EQ(grid.S(3), 1.0f);
    EXPECT_EQ(grid.T(0), 1.0f);
    EXPECT_FLOAT_EQ(grid.T(1), 0.8f);
    EXPECT_EQ(grid.T(2), 0.0f);
    // With a spacing, the steps are over (n - 1) spacings.
    in.xSpacing = 4;
    const GridGeometry spaced(in);
    EXPECT_FLOAT_EQ(spaced.S(3), 8.0f / 12.0f);
    // A list of the wrong length is not used: the spacing places the lines.
    const std::vector<double> shortList = {1, 2};
    in.xList = &shortList;
    const GridGeometry fallback(in);
    EXPECT_EQ(fallback.X(3), 12.0f);
    EXPECT_FLOAT_EQ(fallback.S(1), 1.0f / 3.0f);
}

} // namespace
