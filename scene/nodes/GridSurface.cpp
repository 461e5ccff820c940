#include "scene/nodes/GridSurface.h"

#include "scene/nodes/GridBands.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lumo::grid {

namespace {

bool SameColour(const GridPoint& a, const GridPoint& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

GridPoint Mid(const GridPoint& p, const GridPoint& q)
{
    auto m = [](float a, float b) { return a * 0.5f + b * 0.5f; };
    GridPoint c;
    c.x = m(p.x, q.x);
    c.y = m(p.y, q.y);
    c.z = m(p.z, q.z);
    c.nx = m(p.nx, q.nx);
    c.ny = m(p.ny, q.ny);
    c.nz = m(p.nz, q.nz);
    c.r = m(p.r, q.r);
    c.g = m(p.g, q.g);
    c.b = m(p.b, q.b);
    c.a = m(p.a, q.a);
    c.s = m(p.s, q.s);
    c.t = m(p.t, q.t);
    c.h = m(p.h, q.h);
    return c;
}

// Vertex buffers of GridPoints drawn through client arrays: strip runs
// (each with a colour of its own where the runs are banded), separate
// quads and separate triangles.
class Batches {
public:
    Batches(bool normals, bool texCoords, bool colours, bool runColours)
        : mNormals(normals), mTexCoords(texCoords), mColours(colours), mRunColours(runColours)
    {
    }

    void StartRun(const RGBAColorStruct& colour)
    {
        mRuns.push_back({int(mStrip.size()), 0, colour});
    }
    void AddToRun(const GridPoint& p)
    {
        mStrip.push_back(p);
        ++mRuns.back().count;
    }
    std::vector<GridPoint>& Quads() { return mQuads; }
    std::vector<GridPoint>& Triangles() { return mTriangles; }
    bool Full() const
    {
        return mStrip.size() >= size_t(SurfaceStyle::kFlushPoints) ||
               mQuads.size() >= size_t(SurfaceStyle::kFlushPoints) ||
               mTriangles.size() >= size_t(SurfaceStyle::kFlushPoints);
    }
    // Draws what is buffered and empties the buffers.
    void Flush()
    {
        if (!mStrip.empty()) {
            Point(mStrip, mColours && !mRunColours);
            for (const Run& r : mRuns) {
                if (mRunColours)
                    glColor4f(r.colour.red, r.colour.green, r.colour.blue, r.colour.alpha);
                if (r.count >= 3)
                    glDrawArrays(GL_TRIANGLE_STRIP, r.first, r.count);
            }
        }
        // Separate quads and triangles go one vertex at a time: compiled
        // into a display list as many array draws (Mesa 22.3), a finely
        // banded grid lost its last rows once the list held some tens of
        // thousands of such vertices.
        Immediate(GL_QUADS, mQuads);
        Immediate(GL_TRIANGLES, mTriangles);
        mStrip.clear();
        mRuns.clear();
        mQuads.clear();
        mTriangles.clear();
    }

private:
    struct Run {
        int first, count;
        RGBAColorStruct colour;
    };

    void Immediate(GLenum mode, const std::vector<GridPoint>& points) const
    {
        if (points.empty())
            return;
        glBegin(mode);
        for (const GridPoint& p : points) {
            if (mColours)
                glColor4f(p.r, p.g, p.b, p.a);
            if (mNormals)
                glNormal3f(p.nx, p.ny, p.nz);
            if (mTexCoords)
                glTexCoord2f(p.s, p.t);
            glVertex3f(p.x, p.y, p.z);
        }
        glEnd();
    }

    void Point(const std::vector<GridPoint>& points, bool colours) const
    {
        const GLsizei stride = sizeof(GridPoint);
        const GridPoint& p = points.front();
        glVertexPointer(3, GL_FLOAT, stride, &p.x);
        if (mNormals)
            glNormalPointer(GL_FLOAT, stride, &p.nx);
        if (mTexCoords)
            glTexCoordPointer(2, GL_FLOAT, stride, &p.s);
        if (colours) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_FLOAT, stride, &p.r);
        } else {
            glDisableClientState(GL_COLOR_ARRAY);
        }
    }

    bool mNormals, mTexCoords, mColours, mRunColours;
    std::vector<GridPoint> mStrip;
    std::vector<Run> mRuns;
    std::vector<GridPoint> mQuads, mTriangles;
};

// The outward direction of one side of the grid, along the axis from the
// second line to the first; the axis itself when the two coincide.
float Outward(float first, float second, float fallback)
{
    const float d = first - second;
    return d > 0.0f ? 1.0f : d < 0.0f ? -1.0f : fallback;
}

// Calls quad(top0, top1, base1, base0, normal, cellI, cellJ) for every wall
// segment under two drawn border points, its corners ordered to face out.
template <class Quad>
void ForEachWall(const GridGeometry& grid, float base, Quad&& quad)
{
    const int xD = grid.XDim(), zD = grid.ZDim();
    auto segment = [&](int i0, int j0, int i1, int j1, Point3fStruct out, int ci, int cj) {
        if (grid.Missing(i0, j0) || grid.Missing(i1, j1))
            return;
        Point3fStruct t0 = grid.Position(i0, j0), t1 = grid.Position(i1, j1);
        Point3fStruct b0{t0.x, base, t0.z}, b1{t1.x, base, t1.z};
        // Which way (t0, t1, b1) turns, against the outward direction.
        const double ux = double(t1.x) - t0.x, uy = double(t1.y) - t0.y, uz = double(t1.z) - t0.z;
        const double vx = double(b1.x) - t1.x, vy = double(b1.y) - t1.y, vz = double(b1.z) - t1.z;
        const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        if (nx * out.x + ny * out.y + nz * out.z < 0.0)
            quad(t1, t0, b0, b1, out, ci, cj);
        else
            quad(t0, t1, b1, b0, out, ci, cj);
    };
    const float zLow = Outward(grid.Z(0), grid.Z(1), -1.0f), zHigh = Outward(grid.Z(zD - 1), grid.Z(zD - 2), 1.0f);
    const float xLow = Outward(grid.X(0), grid.X(1), -1.0f), xHigh = Outward(grid.X(xD - 1), grid.X(xD - 2), 1.0f);
    for (int i = 0; i + 1 < xD; ++i)
        segment(i, 0, i + 1, 0, {0, 0, zLow}, i, 0);
    for (int j = 0; j + 1 < zD; ++j)
        segment(xD - 1, j, xD - 1, j + 1, {xHigh, 0, 0}, xD - 2, j);
    for (int i = 0; i + 1 < xD; ++i)
        segment(i + 1, zD - 1, i, zD - 1, {0, 0, zHigh}, i, zD - 2);
    for (int j = 0; j + 1 < zD; ++j)
        segment(0, j + 1, 0, j, {xLow, 0, 0}, 0, j);
}

class Painter {
public:
    Painter(const GridGeometry& grid, const SurfaceStyle& style)
        : mGrid(grid), mStyle(style), mBands(style.colouring == Colouring::Bands && style.levels),
          mByLevel(style.colouring == Colouring::ByLevel && style.levels),
          mStrips(!style.perFaceNormals && style.colouring != Colouring::PerFace),
          mBatches(style.normals, style.texCoords, style.colouring != Colouring::None, mBands)
    {
        const size_t points = size_t(grid.XDim()) * size_t(grid.ZDim());
        const size_t cells = size_t(grid.XDim() - 1) * size_t(grid.ZDim() - 1);
        const size_t given = size_t(std::max(style.givenNormals ? style.numGivenNormals : 0, 0));
        const bool vertexNormals = style.normals && !style.perFaceNormals && given < points;
        const bool faceNormals = style.normals && (style.perFaceNormals ? given < cells : vertexNormals);
        if (faceNormals)
            mFaceNormals = grid.FaceNormals();
        if (vertexNormals)
            mVertexNormals = grid.VertexNormals(mFaceNormals);
        mSplitDepth = std::clamp(style.splitDepth, 0, SurfaceStyle::kMaxSplitDepth);
    }

    void Surface()
    {
        const int xD = mGrid.XDim(), zD = mGrid.ZDim();
        for (int j = 0; j + 1 < zD; ++j) {
            bool inRun = false;
            int runBand = -1;
            for (int i = 0; i + 1 < xD; ++i) {
                int which;
                const int missing = mGrid.MissingCorners(i, j, which);
                if (missing != 0) {
                    inRun = false;
                    if (missing == 1)
                        Triangle(i, j, which);
                    continue;
                }
                int band = -1;
                if (mBands) {
                    int b[4];
                    for (int k = 0; k < 4; ++k) {
                        int ci, cj;
                        GridGeometry::Corner(i, j, k, ci, cj);
                        b[k] = mStyle.levels->Band(mGrid.Height(ci, cj));
                    }
                    if (b[0] != b[1] || b[1] != b[2] || b[2] != b[3]) {
                        inRun = false;
                        BandCell(i, j);
                        continue;
                    }
                    if (b[0] >= mStyle.levels->Count()) { // above every level: in no band
                        inRun = false;
                        continue;
                    }
                    band = b[0];
                } else if (mByLevel && mStyle.splitCells && mSplitDepth > 0) {
                    GridPoint c[4];
                    Corners(i, j, c);
                    if (NeedsSplit(c, 0)) {
                        inRun = false;
                        Split(c, 0);
                        continue;
                    }
                }
                if (!mStrips) {
                    GridPoint c[4];
                    Corners(i, j, c);
                    if (band >= 0)
                        Paint(c, 4, band);
                    mBatches.Quads().insert(mBatches.Quads().end(), c, c + 4);
                } else {
                    if (!inRun || band != runBand) {
                        RGBAColorStruct colour{1, 1, 1, mStyle.alpha};
                        if (band >= 0) {
                            colour = mStyle.levels->Colour(band);
                            colour.alpha = mStyle.alpha;
                        }
                        mBatches.StartRun(colour);
                        mBatches.AddToRun(Point(i, j, i, j));
                        mBatches.AddToRun(Point(i, j + 1, i, j));
                        inRun = true;
                        runBand = band;
                    }
                    mBatches.AddToRun(Point(i + 1, j, i, j));
                    mBatches.AddToRun(Point(i + 1, j + 1, i, j));
                }
                if (mBatches.Full()) {
                    mBatches.Flush();
                    inRun = false;
                }
            }
        }
        mBatches.Flush();
    }

    void Walls()
    {
        glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW); // walls face out whichever side the surface's front is
        if (const RGBAColorStruct* c = mStyle.wallColour)
            glColor4f(c->red, c->green, c->blue, mStyle.alpha);
        glBegin(GL_QUADS);
        ForEachWall(mGrid, mStyle.wallBase,
                    [this](const Point3fStruct& a, const Point3fStruct& b, const Point3fStruct& c,
                           const Point3fStruct& d, const Point3fStruct& n, int, int) {
                        if (mStyle.normals)
                            glNormal3f(n.x, n.y, n.z);
                        for (const Point3fStruct* p : {&a, &b, &c, &d})
                            glVertex3f(p->x, p->y, p->z);
                    });
        glEnd();
        glPopAttrib();
    }

private:
    // Grid point (i, j) as a corner of cell (ci, cj).
    GridPoint Point(int i, int j, int ci, int cj) const
    {
        GridPoint p;
        p.x = mGrid.X(i);
        p.y = mGrid.Y(i, j);
        p.z = mGrid.Z(j);
        p.h = mGrid.Height(i, j);
        p.s = mGrid.S(i);
        p.t = mGrid.T(j);
        p.id = mGrid.PointNumber(i, j);
        const size_t point = size_t(p.id);
        const size_t cell = size_t(cj) * size_t(mGrid.XDim() - 1) + size_t(ci);
        if (mStyle.normals) {
            const size_t index = mStyle.perFaceNormals ? cell : point;
            const std::vector<Point3fStruct>& made = mStyle.perFaceNormals ? mFaceNormals : mVertexNormals;
            const Point3fStruct& n = mStyle.givenNormals && index < size_t(std::max(mStyle.numGivenNormals, 0))
                                         ? mStyle.givenNormals[index]
                                         : made[index];
            p.nx = n.x;
            p.ny = n.y;
            p.nz = n.z;
        }
        RGBAColorStruct c{1, 1, 1, 1};
        switch (mStyle.colouring) {
        case Colouring::PerVertex:
        case Colouring::PerFace:
            if (mStyle.colours && mStyle.numColours > 0) {
                const size_t index = mStyle.colouring == Colouring::PerFace ? cell : point;
                c = mStyle.colours[std::min(index, size_t(mStyle.numColours - 1))];
            }
            break;
        case Colouring::ByLevel:
            if (mStyle.levels)
                mStyle.levels->ColourOf(p.h, c);
            break;
        default: break;
        }
        p.r = c.red;
        p.g = c.green;
        p.b = c.blue;
        p.a = mStyle.alpha;
        return p;
    }

    void Corners(int i, int j, GridPoint c[4]) const
    {
        for (int k = 0; k < 4; ++k) {
            int ci, cj;
            GridGeometry::Corner(i, j, k, ci, cj);
            c[k] = Point(ci, cj, i, j);
        }
    }

    // A cell with one missing corner: the triangle of the other three.
    void Triangle(int i, int j, int missing)
    {
        GridPoint c[4];
        Corners(i, j, c);
        const GridPoint& a = c[(missing + 1) % 4];
        const GridPoint& b = c[(missing + 2) % 4];
        const GridPoint& d = c[(missing + 3) % 4];
        if (mBands) {
            mPolygons.Clear();
            ClipTriangle(a, b, d, *mStyle.levels, mStyle.levels->Count(), mPolygons);
            EmitPolygons();
        } else {
            mBatches.Triangles().insert(mBatches.Triangles().end(), {a, b, d});
        }
        if (mBatches.Full())
            mBatches.Flush();
    }

    void BandCell(int i, int j)
    {
        GridPoint c[4], triangles[4][3];
        Corners(i, j, c);
        CellTriangles(c, triangles);
        mPolygons.Clear();
        for (auto& t : triangles)
            ClipTriangle(t[0], t[1], t[2], *mStyle.levels, mStyle.levels->Count(), mPolygons);
        EmitPolygons();
        if (mBatches.Full())
            mBatches.Flush();
    }

    // Gives points the colour of a band.
    void Paint(GridPoint* p, int count, int band) const
    {
        const RGBAColorStruct& colour = mStyle.levels->Colour(band);
        for (int k = 0; k < count; ++k) {
            p[k].r = colour.red;
            p[k].g = colour.green;
            p[k].b = colour.blue;
            p[k].a = mStyle.alpha;
        }
    }

    void EmitPolygons()
    {
        std::vector<GridPoint>& out = mBatches.Triangles();
        for (const BandPolygons::Polygon& poly : mPolygons.polygons) {
            GridPoint* p = mPolygons.points.data() + poly.first;
            Paint(p, poly.count, poly.band);
            for (int k = 1; k + 1 < poly.count; ++k)
                out.insert(out.end(), {p[0], p[k], p[k + 1]});
        }
    }

    bool NeedsSplit(const GridPoint c[4], int depth) const
    {
        if (SameColour(c[0], c[2]) && SameColour(c[1], c[3]))
            return false;
        if (depth >= mSplitDepth)
            return false;
        const float tolerance = mStyle.splitTolerance;
        // Written so that a tolerance that is no number splits nothing.
        return std::fabs(c[0].h - c[2].h) > tolerance || std::fabs(c[1].h - c[3].h) > tolerance;
    }

    // Cuts a cell into four at its centre, each new point coloured by its
    // own level, until the colours agree or the depth is reached.
    void Split(const GridPoint c[4], int depth)
    {
        if (!NeedsSplit(c, depth)) {
            mBatches.Triangles().insert(mBatches.Triangles().end(), {c[0], c[1], c[2], c[0], c[2], c[3]});
            if (mBatches.Full())
                mBatches.Flush();
            return;
        }
        GridPoint m01 = Mid(c[0], c[1]), m12 = Mid(c[1], c[2]), m23 = Mid(c[2], c[3]), m30 = Mid(c[3], c[0]);
        GridPoint centre = Mid(m12, m30);
        for (GridPoint* p : {&m01, &m12, &m23, &m30, &centre}) {
            RGBAColorStruct colour{p->r, p->g, p->b, p->a};
            mStyle.levels->ColourOf(p->h, colour);
            p->r = colour.red;
            p->g = colour.green;
            p->b = colour.blue;
            p->a = mStyle.alpha;
        }
        const GridPoint q0[4] = {c[0], m01, centre, m30};
        const GridPoint q1[4] = {m01, c[1], m12, centre};
        const GridPoint q2[4] = {centre, m12, c[2], m23};
        const GridPoint q3[4] = {m30, centre, m23, c[3]};
        Split(q0, depth + 1);
        Split(q1, depth + 1);
        Split(q2, depth + 1);
        Split(q3, depth + 1);
    }

    const GridGeometry& mGrid;
    const SurfaceStyle& mStyle;
    const bool mBands, mByLevel, mStrips;
    Batches mBatches;
    BandPolygons mPolygons;
    std::vector<Point3fStruct> mFaceNormals, mVertexNormals;
    int mSplitDepth = 0;
};

} // namespace

void DrawSurface(const GridGeometry& grid, const SurfaceStyle& style)
{
    if (grid.XDim() < 2 || grid.ZDim() < 2)
        return;
    Painter painter(grid, style);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (style.normals)
        glEnableClientState(GL_NORMAL_ARRAY);
    else
        glDisableClientState(GL_NORMAL_ARRAY);
    if (style.texCoords)
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    else
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    // Colours sent with the surface go no further than the grid: what the
    // material set is back for the walls and for whatever comes next.
    glPushAttrib(GL_CURRENT_BIT | GL_LIGHTING_BIT);
    painter.Surface();
    glPopAttrib();
    glPopClientAttrib();
    if (style.walls)
        painter.Walls();
}

void DrawCellsForPicking(const GridGeometry& grid, const PickStyle& style)
{
    const int xD = grid.XDim(), zD = grid.ZDim();
    if (xD < 2 || zD < 2)
        return;
    CVImageMapClass imageMapClass = style.imageMapClass;
    if (style.imageMap) {
        GLint modes[2] = {GL_FILL, GL_FILL};
        glGetIntegerv(GL_POLYGON_MODE, modes);
        imageMapClass.lines = imageMapClass.lines || modes[0] == GL_LINE;
    }
    // Loads the name of cell (i, j), or sets its image-map colour; false
    // when the cell has no image-map colour (it is then not drawn).
    auto name = [&](int i, int j) {
        const unsigned n = CellName(grid, i, j, style.transposed);
        if (!style.imageMap) {
            glLoadName(n);
            return true;
        }
        float rgb[3];
        if (!CVCacheManager::ImageMapColor(style.colourBits, int(n) + style.indexOffset, imageMapClass, rgb))
            return false;
        glColor3f(rgb[0], rgb[1], rgb[2]);
        return true;
    };
    for (int j = 0; j + 1 < zD; ++j)
        for (int i = 0; i + 1 < xD; ++i) {
            int which;
            const int missing = grid.MissingCorners(i, j, which);
            if (missing > 1 || !name(i, j))
                continue;
            glBegin(missing ? GL_TRIANGLES : GL_QUADS);
            for (int k = 0; k < 4; ++k) {
                if (k == which)
                    continue;
                int ci, cj;
                GridGeometry::Corner(i, j, k, ci, cj);
                glVertex3f(grid.X(ci), grid.Y(ci, cj), grid.Z(cj));
            }
            glEnd();
        }
    if (!style.walls)
        return;
    glPushAttrib(GL_POLYGON_BIT);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    ForEachWall(grid, style.wallBase,
                [&](const Point3fStruct& a, const Point3fStruct& b, const Point3fStruct& c, const Point3fStruct& d,
                    const Point3fStruct&, int ci, int cj) {
                    if (!name(ci, cj))
                        return;
                    glBegin(GL_QUADS);
                    for (const Point3fStruct* p : {&a, &b, &c, &d})
                        glVertex3f(p->x, p->y, p->z);
                    glEnd();
                });
    glPopAttrib();
}

} // namespace lumo::grid
