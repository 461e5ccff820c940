#include "scene/nodes/ElevationGrid.h"

#include "scene/core/State.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Coordinate.h"
#include "scene/nodes/GridContours.h"
#include "scene/nodes/GridLevels.h"
#include "scene/nodes/GridSurface.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

LUMO_IMPLEMENT_NODE(CVElevationGrid, CVGeometry)
LUMO_IMPLEMENT_CLASS(CVElevationGridDetail, CVIndexDetail)

using lumo::grid::GridGeometry;
using lumo::grid::GridInput;
using lumo::grid::Levels;

namespace {

const CVMFFloat& NoHeights()
{
    static const CVMFFloat empty;
    return empty;
}

bool Finite(const std::vector<double>& list)
{
    for (double v : list)
        if (!std::isfinite(v) || std::fabs(v) > 3.4e38)
            return false;
    return true;
}

Levels LevelsOf(const CVColorInterpolator* interpolator)
{
    if (!interpolator)
        return Levels();
    return Levels(interpolator->key.GetValues(), interpolator->key.GetNum(), interpolator->keyValue.GetValues(),
                  interpolator->keyValue.GetNum());
}

// Pops the attributes pushed for the grid however drawing ends.
struct AttribScope {
    explicit AttribScope(GLbitfield bits) { glPushAttrib(bits); }
    ~AttribScope() { glPopAttrib(); }
    AttribScope(const AttribScope&) = delete;
    AttribScope& operator=(const AttribScope&) = delete;
};

} // namespace

// What the grid draws from, after following its height source: empty
// 'problem' and ok when all is well.
struct CVElevationGrid::Resolved {
    bool ok = false;
    GridInput input;
    const CVElevationGrid* source = nullptr;
    std::wstring problem;
};

CVElevationGrid::CVElevationGrid()
{
    ccw.SetValue(1);
    colorPerVertex.SetValue(1);
    normalPerVertex.SetValue(1);
    solid.SetValue(1);
    splitDepth.SetValue(4);
    splitTolerance.SetValue(0.01f);
}

void CVElevationGrid::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVElevationGrid>(L"ElevationGrid")
        .Field(L"color", &CVElevationGrid::color)
        .Field(L"normal", &CVElevationGrid::normal)
        .Field(L"texCoord", &CVElevationGrid::texCoord)
        .Field(L"height", &CVElevationGrid::height)
        .Field(L"ccw", &CVElevationGrid::ccw)
        .Field(L"colorPerVertex", &CVElevationGrid::colorPerVertex)
        .Field(L"creaseAngle", &CVElevationGrid::creaseAngle)
        .Field(L"normalPerVertex", &CVElevationGrid::normalPerVertex)
        .Field(L"solid", &CVElevationGrid::solid)
        .Field(L"xDimension", &CVElevationGrid::xDimension)
        .Field(L"xSpacing", &CVElevationGrid::xSpacing)
        .Field(L"zDimension", &CVElevationGrid::zDimension)
        .Field(L"zSpacing", &CVElevationGrid::zSpacing)
        .Field(L"transposeData", &CVElevationGrid::transposeData)
        .Field(L"colorLevels", &CVElevationGrid::colorLevels)
        .Field(L"contourBands", &CVElevationGrid::contourBands)
        .Field(L"skipMissing", &CVElevationGrid::skipMissing);
}

void CVElevationGrid::SetXZCoordLists(std::vector<double> x, std::vector<double> z)
{
    mXList = std::move(x);
    mZList = std::move(z);
    SetModifiedFlag(1);
}

const CVElevationGrid* CVElevationGrid::Source(bool& tooLong) const
{
    const CVElevationGrid* g = this;
    tooLong = false;
    for (int n = 0; g->heightSource.GetValue(); ++n) {
        if (n >= kMaxSourceChain) {
            tooLong = true;
            return this;
        }
        g = g->heightSource.GetValue();
    }
    return g;
}

void CVElevationGrid::GetXZCoordLists(const std::vector<double>*& x, const std::vector<double>*& z) const
{
    bool tooLong;
    const CVElevationGrid* s = Source(tooLong);
    x = &s->mXList;
    z = &s->mZList;
}

void CVElevationGrid::SetColorLevels(CVColorInterpolator* levels)
{
    if (levels && colorLevels.SetValue(levels))
        SetModifiedFlag(1);
}

void CVElevationGrid::SetHeightMinMax(float min, float max)
{
    bool tooLong;
    auto* s = const_cast<CVElevationGrid*>(Source(tooLong));
    s->mHeightRange = {min, max};
}

int CVElevationGrid::GetHeightMinMax(float& min, float& max) const
{
    bool tooLong;
    const CVElevationGrid* s = Source(tooLong);
    if (s->mHeightRange.size() != 2)
        return 0;
    min = s->mHeightRange[0];
    max = s->mHeightRange[1];
    return 1;
}

void CVElevationGrid::UnsetHeightMinMax()
{
    bool tooLong;
    const_cast<CVElevationGrid*>(Source(tooLong))->mHeightRange.clear();
}

void CVElevationGrid::SetImageMapColorInfo(int colourBits)
{
    mImageMap = true;
    mImageMapBits = colourBits;
    SetModifiedFlag(1);
}

void CVElevationGrid::UnsetImageMapColorInfo()
{
    mImageMap = false;
    mImageMapBits = 0;
    SetModifiedFlag(1);
}

const CVMFFloat& CVElevationGrid::GetHeightArray() const
{
    bool tooLong;
    const CVElevationGrid* s = Source(tooLong);
    return tooLong ? NoHeights() : s->height;
}

CVElevationGrid::Resolved CVElevationGrid::Resolve() const
{
    Resolved r;
    const int xD = xDimension.GetValue(), zD = zDimension.GetValue();
    const std::wstring who = GetName() && !GetName()->empty() ? L"ElevationGrid \"" + *GetName() + L"\": "
                                                                : std::wstring(L"ElevationGrid: ");
    const std::wstring size = std::to_wstring(xD) + L" x " + std::to_wstring(zD);
    if (xD < 2 || zD < 2)
        return r; // nothing to draw, and nothing wrong with that
    if (std::int64_t(xD) * std::int64_t(zD) > kMaxGridPoints) {
        r.problem = who + L"a " + size + L" grid has more than " + std::to_wstring(kMaxGridPoints) +
                    L" points; nothing drawn";
        return r;
    }
    bool tooLong;
    const CVElevationGrid* s = Source(tooLong);
    if (tooLong) {
        r.problem = who + L"its height sources are chained more than " + std::to_wstring(kMaxSourceChain) +
                    L" grids deep; nothing drawn";
        return r;
    }
    if (s != this && (s->xDimension.GetValue() != xD || s->zDimension.GetValue() != zD)) {
        r.problem = who + L"its height source is a " + std::to_wstring(s->xDimension.GetValue()) + L" x " +
                    std::to_wstring(s->zDimension.GetValue()) + L" grid, this one " + size + L"; nothing drawn";
        return r;
    }
    const std::int64_t needed = std::int64_t(xD) * zD;
    const int have = s->height.GetNum();
    const bool flat = flatGrid.GetValue() != 0;
    if (have < needed && !(flat && have == 0)) {
        r.problem = who + std::to_wstring(have) + L" heights for a " + size + L" grid (" + std::to_wstring(needed) +
                    L" needed); nothing drawn";
        return r;
    }
    GridInput& in = r.input;
    in.xDim = xD;
    in.zDim = zD;
    in.heights = have >= needed ? s->height.GetValues() : nullptr;
    in.xSpacing = xSpacing.GetValue();
    in.zSpacing = zSpacing.GetValue();
    in.flat = flat;
    in.flatHeight = flatHeight.GetValue();
    in.skipMissing = skipMissing.GetValue() != 0;
    in.ccw = ccw.GetValue() != 0;
    auto list = [&](const std::vector<double>& l, int n, const wchar_t* axis) -> const std::vector<double>* {
        if (l.empty())
            return nullptr;
        if (int(l.size()) == n && Finite(l))
            return &l;
        r.problem = who + L"its " + axis + L" coordinate list (" + std::to_wstring(l.size()) + L" values for " +
                    std::to_wstring(n) + L" lines) is not used";
        return nullptr;
    };
    in.xList = list(s->mXList, xD, L"x");
    in.zList = list(s->mZList, zD, L"z");
    r.source = s;
    r.ok = true;
    return r;
}

std::wstring CVElevationGrid::GetProblem() const
{
    try {
        return Resolve().problem;
    } catch (const std::bad_alloc&) {
        return L"ElevationGrid: out of memory";
    }
}

void CVElevationGrid::CheckInputs()
{
    CVValueWatch& w = mWatch;
    w.Begin();
    const int bools[] = {ccw.GetValue(),          colorPerVertex.GetValue(), normalPerVertex.GetValue(),
                         solid.GetValue(),        transposeData.GetValue(),  contourBands.GetValue(),
                         skipMissing.GetValue(),  flatGrid.GetValue(),      drawWalls.GetValue(),
                         splitCells.GetValue(),   noNormals.GetValue(),     xDimension.GetValue(),
                         zDimension.GetValue(),   splitDepth.GetValue()};
    const float floats[] = {creaseAngle.GetValue(), xSpacing.GetValue(),    zSpacing.GetValue(),
                            flatHeight.GetValue(),  wallBase.GetValue(),    splitTolerance.GetValue()};
    w.Add(bools);
    w.Add(floats);
    // The chain of height sources, and what its end holds.
    const CVElevationGrid* g = this;
    for (int n = 0; g && n <= kMaxSourceChain; ++n, g = g->heightSource.GetValue())
        w.Add(g);
    bool tooLong;
    const CVElevationGrid* s = Source(tooLong);
    w.Add(s->xDimension.GetValue());
    w.Add(s->zDimension.GetValue());
    w.Add(s->height.GetNum());
    w.Add(s->height.GetValues(), sizeof(float) * size_t(s->height.GetNum()));
    w.Add(s->mXList.size());
    w.Add(s->mXList.data(), sizeof(double) * s->mXList.size());
    w.Add(s->mZList.size());
    w.Add(s->mZList.data(), sizeof(double) * s->mZList.size());
    w.Add(s->mHeightRange.size());
    w.Add(s->mHeightRange.data(), sizeof(float) * s->mHeightRange.size());
    auto colours = [&w](const CVColor* c) {
        w.Add(c);
        const int n = c ? c->color.GetNum() : 0;
        w.Add(n);
        if (n)
            w.Add(c->color.GetValues(), sizeof(RGBAColorStruct) * size_t(n));
    };
    colours(color.GetValue());
    colours(wallColor.GetValue());
    const CVNormal* nn = normal.GetValue();
    w.Add(nn);
    const int normals = nn ? nn->vector.GetNum() : 0;
    w.Add(normals);
    if (normals)
        w.Add(nn->vector.GetValues(), sizeof(Point3fStruct) * size_t(normals));
    const CVColorInterpolator* levels = colorLevels.GetValue();
    w.Add(levels);
    const int keys = levels ? levels->key.GetNum() : 0, values = levels ? levels->keyValue.GetNum() : 0;
    w.Add(keys);
    w.Add(values);
    if (keys)
        w.Add(levels->key.GetValues(), sizeof(float) * size_t(keys));
    if (values)
        w.Add(levels->keyValue.GetValues(), sizeof(RGBAColorStruct) * size_t(values));
    if (w.End())
        ++mGeneration;
}

void CVElevationGrid::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    if (!box)
        return;
    try {
        CheckInputs();
        if (mBoxGeneration != mGeneration) {
            mBox.MakeEmpty();
            mBoxGeneration = mGeneration;
            const Resolved r = Resolve();
            if (r.ok) {
                const GridGeometry grid(r.input);
                float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
                auto take = [&](int axis, float v) {
                    if (!std::isfinite(v))
                        return;
                    lo[axis] = std::min(lo[axis], v);
                    hi[axis] = std::max(hi[axis], v);
                };
                for (int i = 0; i < grid.XDim(); ++i)
                    take(0, grid.X(i));
                for (int j = 0; j < grid.ZDim(); ++j)
                    take(2, grid.Z(j));
                float min, max;
                if (r.input.flat) {
                    take(1, grid.Y(0, 0));
                } else if (GetHeightMinMax(min, max)) {
                    take(1, min);
                    take(1, max);
                } else {
                    const float* h = r.input.heights;
                    for (std::int64_t k = 0, n = std::int64_t(grid.XDim()) * grid.ZDim(); k < n; ++k)
                        if (!IsMissingValue(h[k]))
                            take(1, h[k]);
                }
                if (drawWalls.GetValue() && lo[1] <= hi[1])
                    take(1, wallBase.GetValue());
                if (lo[0] <= hi[0] && lo[1] <= hi[1] && lo[2] <= hi[2])
                    mBox.Set(CVVector(lo[0], lo[1], lo[2]), CVVector(hi[0], hi[1], hi[2]));
            }
        }
        *box = mBox;
    } catch (const std::bad_alloc&) {
        mBoxGeneration = ~std::uint64_t(0);
        box->MakeEmpty();
    }
}

CVDetail* CVElevationGrid::GetPickDetail(unsigned int name) { return new CVElevationGridDetail(int(name), this); }

void CVElevationGrid::Rebuild(const GridGeometry& grid, float alpha, bool texturing, bool colours)
{
    using lumo::grid::Colouring;
    const Levels levels = LevelsOf(colorLevels.GetValue());
    lumo::grid::SurfaceStyle style;
    style.normals = !noNormals.GetValue();
    const CVNormal* given = grid.IsFlat() ? nullptr : normal.GetValue();
    style.perFaceNormals = creaseAngle.GetValue() != 0.0f || (given && !normalPerVertex.GetValue());
    if (given) {
        style.givenNormals = given->vector.GetValues();
        style.numGivenNormals = given->vector.GetNum();
    }
    const CVColor* c = color.GetValue();
    const bool nodeColours = c && c->color.GetNum() > 0;
    if (colours) {
        if (levels.Count() > 0 && contourBands.GetValue())
            style.colouring = Colouring::Bands;
        else if (nodeColours)
            style.colouring = colorPerVertex.GetValue() ? Colouring::PerVertex : Colouring::PerFace;
        else if (levels.Count() > 0)
            style.colouring = Colouring::ByLevel;
    }
    if (nodeColours) {
        style.colours = c->color.GetValues();
        style.numColours = c->color.GetNum();
    }
    style.alpha = alpha;
    style.levels = &levels;
    style.splitCells = splitCells.GetValue() != 0;
    style.splitDepth = splitDepth.GetValue();
    style.splitTolerance = splitTolerance.GetValue();
    style.texCoords = texturing;
    style.walls = drawWalls.GetValue() != 0;
    style.wallBase = std::isfinite(wallBase.GetValue()) ? wallBase.GetValue() : 0.0f;
    const CVColor* wc = wallColor.GetValue();
    RGBAColorStruct wall{};
    if (colours && wc && wc->color.GetNum() == 1) {
        wall = wc->color[0];
        style.wallColour = &wall;
    }
    lumo::grid::DrawSurface(grid, style);
}

void CVElevationGrid::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    try {
        const Resolved r = Resolve();
        mProblemNote.Report(area, r.problem);
        if (!r.ok)
            return;
        const GridGeometry grid(r.input);
        const bool pick = state && state->m_bPickMode;
        PreRenderGL(state, area, appearance);
        // Undoes PreRenderGL however the drawing ends.
        struct Post {
            CVElevationGrid* grid;
            CVState* state;
            CVGLRenderArea* area;
            CVAppearance* appearance;
            ~Post() { grid->PostRenderGL(state, area, appearance); }
        } post{this, state, area, appearance};
        AttribScope polygon(GL_POLYGON_BIT);
        if (!solid.GetValue())
            glDisable(GL_CULL_FACE);
        glFrontFace(ccw.GetValue() ? GL_CCW : GL_CW);
        if (mImageMap || pick) {
            lumo::grid::PickStyle style;
            style.transposed = transposeData.GetValue() != 0;
            style.imageMap = mImageMap;
            style.colourBits = mImageMapBits;
            style.indexOffset = mImageMapOffset;
            style.imageMapClass = GetImageMapClass();
            style.walls = drawWalls.GetValue() != 0;
            style.wallBase = std::isfinite(wallBase.GetValue()) ? wallBase.GetValue() : 0.0f;
            lumo::grid::DrawCellsForPicking(grid, style);
            return;
        }
        // Lines drawn on the surface (contours) stay in front of it.
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 1.0f);
        const float alpha = 1.0f - (appearance ? appearance->GetTransparency() : 0.0f);
        if (state && state->m_nRenderPass == PASS_SHADOW) {
            // The shadow has the shadow's colour: drawn directly, uncoloured.
            Rebuild(grid, alpha, false, false);
            return;
        }
        const bool texturing = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
        CheckInputs();
        if (!IsModified() && mListGeneration == mGeneration && mListTexturing == texturing &&
            mListAlpha == alpha && mList.IsReady()) {
            mList.Call();
            return;
        }
        // Ends the list however the drawing ends; a list cut short by a
        // failure is made again next time.
        struct Compile {
            CVGeometryList& list;
            bool on;
            ~Compile()
            {
                if (on)
                    list.End();
            }
        } compile{mList, mList.Begin(true)};
        mListGeneration = ~std::uint64_t(0);
        Rebuild(grid, alpha, texturing, true);
        if (compile.on) {
            mListGeneration = mGeneration;
            mListTexturing = texturing;
            mListAlpha = alpha;
            SetModifiedFlag(0);
        }
    } catch (...) {
        SetModifiedFlag(1); // out of memory: nothing leaves a draw
    }
}

bool CVElevationGrid::GetHeightIndex(int i, int j, int out[4]) const
{
    const int xD = xDimension.GetValue(), zD = zDimension.GetValue();
    if (flatGrid.GetValue() || i < 0 || j < 0 || i + 1 >= xD || j + 1 >= zD ||
        std::int64_t(xD) * zD > kMaxGridPoints)
        return false;
    for (int k = 0; k < 4; ++k) {
        int ci, cj;
        GridGeometry::Corner(i, j, k, ci, cj);
        out[k] = ci + cj * xD;
    }
    return true;
}

bool CVElevationGrid::GetHeightIndex(int n, int out[4]) const
{
    const int xD = xDimension.GetValue();
    return xD > 0 && n >= 0 && GetHeightIndex(n % xD, n / xD, out);
}

bool CVElevationGrid::GetCoord(int i, int j, CVVector out[4], int heightIndex[4]) const
{
    const Resolved r = Resolve();
    if (!r.ok || i < 0 || j < 0 || i + 1 >= r.input.xDim || j + 1 >= r.input.zDim)
        return false;
    const GridGeometry grid(r.input);
    for (int k = 0; k < 4; ++k) {
        int ci, cj;
        GridGeometry::Corner(i, j, k, ci, cj);
        out[k] = CVVector(grid.Position(ci, cj));
        if (heightIndex)
            heightIndex[k] = grid.IsFlat() ? -1 : int(grid.PointNumber(ci, cj));
    }
    return true;
}

bool CVElevationGrid::GetCoord(int n, CVVector out[4]) const
{
    const int xD = xDimension.GetValue();
    return xD > 0 && n >= 0 && GetCoord(n % xD, n / xD, out, nullptr);
}

void CVElevationGrid::GetColorIndex(int n, int out[4]) const
{
    const int xD = xDimension.GetValue();
    const bool perVertex = colorPerVertex.GetValue() != 0;
    for (int k = 0; k < 4; ++k)
        out[k] = -1;
    if (!color.GetValue() || xD < 2 || n < 0)
        return;
    if (perVertex) {
        out[0] = n;
        out[1] = n + xD;
        out[2] = n + xD + 1;
        out[3] = n + 1;
    } else {
        for (int k = 0; k < 4; ++k)
            out[k] = n % xD + (n / xD) * (xD - 1);
    }
}

void CVElevationGrid::GetNormalIndex(int n, int out[4]) const
{
    const int xD = xDimension.GetValue();
    for (int k = 0; k < 4; ++k)
        out[k] = -1;
    if (!normal.GetValue() || xD < 2 || n < 0)
        return;
    if (normalPerVertex.GetValue()) {
        out[0] = n;
        out[1] = n + xD;
        out[2] = n + xD + 1;
        out[3] = n + 1;
    } else {
        for (int k = 0; k < 4; ++k)
            out[k] = n % xD + (n / xD) * (xD - 1);
    }
}

void CVElevationGrid::ComputeFaceNormals(CVMFVec3f& normals, int skipMissingCells) const
{
    normals.SetSize(0);
    Resolved r = Resolve();
    if (!r.ok)
        return;
    r.input.skipMissing = skipMissingCells != 0;
    const GridGeometry grid(r.input);
    const std::vector<Point3fStruct> faces = grid.FaceNormals();
    normals.SetCapacity(int(faces.size()));
    for (const Point3fStruct& n : faces)
        normals.Add(n);
}

std::vector<CVIndexedLineSet*> CVElevationGrid::CreateContourLineNodes() const
{
    std::vector<CVIndexedLineSet*> sets;
    const CVColorInterpolator* interpolator = colorLevels.GetValue();
    if (!interpolator)
        return sets;
    try {
        const Levels levels = LevelsOf(interpolator);
        std::vector<lumo::grid::ContourLines> lines;
        const Resolved r = Resolve();
        if (r.ok)
            lines = lumo::grid::MakeContourLines(GridGeometry(r.input), levels);
        const int keys = std::min(interpolator->key.GetNum(), Levels::kMaxLevels);
        // Held while they are made, so that a failure part way frees them.
        struct Made {
            std::vector<CVIndexedLineSet*>& sets;
            bool done = false;
            ~Made()
            {
                for (CVIndexedLineSet* s : sets)
                    done ? s->UnrefNoDelete() : s->Unref();
                if (!done)
                    sets.clear();
            }
        } made{sets};
        sets.reserve(size_t(keys));
        int level = 0;
        for (int k = 0; k < keys; ++k) {
            auto* set = new CVIndexedLineSet;
            set->Ref();
            sets.push_back(set);
            auto* coord = new CVCoordinate;
            set->coord.SetValue(coord);
            if (level < levels.Count() && levels.KeyOf(level) == k && size_t(level) < lines.size()) {
                const lumo::grid::ContourLines& l = lines[size_t(level)];
                coord->point.SetCapacity(int(l.points.size()));
                for (const Point3fStruct& p : l.points)
                    coord->point.Add(p);
                set->coordIndex.SetCapacity(int(l.coordIndex.size()));
                for (int index : l.coordIndex)
                    set->coordIndex.Add(index);
            }
            if (level < levels.Count() && levels.KeyOf(level) == k)
                ++level;
        }
        made.done = true;
    } catch (const std::bad_alloc&) {
        sets.clear();
    }
    return sets;
}
