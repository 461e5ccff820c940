// A height field in the x-z plane (surface and topographic charts): one
// height per grid point, columns and rows at multiples of the spacing or at
// the positions of coordinate lists. It can colour the surface in filled
// bands between the heights of colour levels, make contour lines of those
// levels as line sets, leave out missing heights, draw side walls down to a
// base, take its heights from another grid, and draw each cell in its own
// colour for image maps. The surface is compiled into a display list when
// anything it is made from changes; picking draws each cell directly under
// its selection name.
//
// Bounds: xDimension x zDimension at most kMaxGridPoints grid points (a
// larger grid draws nothing and says so in the render area's error
// report); at most Levels::kMaxLevels colour levels; a height-source chain
// at most kMaxSourceChain grids long; cells cut by colour at most
// SurfaceStyle::kMaxSplitDepth times. Nothing is drawn, and the box is
// empty, for a grid whose heights (or whose source) do not match its
// dimensions, reported likewise; a coordinate list of the wrong length or
// holding no numbers is not used, and reported.
#pragma once

#include "scene/model/RefPtr.h"
#include "scene/model/Box3f.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Color.h"
#include "scene/nodes/Geometry.h"
#include "scene/nodes/GeometryList.h"
#include "scene/nodes/GridGeometry.h"
#include "scene/nodes/IndexDetail.h"
#include "scene/nodes/IndexedLineSet.h"
#include "scene/nodes/Interpolators.h"
#include "scene/nodes/Normal.h"
#include "scene/nodes/TextureCoordinate.h"
#include "scene/nodes/ProblemNote.h"
#include "scene/nodes/ValueWatch.h"

#include <cstdint>
#include <string>
#include <vector>

class CVElevationGrid : public CVGeometry {
    LUMO_DECLARE_NODE(CVElevationGrid)

public:
    static constexpr std::int64_t kMaxGridPoints = 4194304; // 2048 x 2048
    static constexpr int kMaxSourceChain = 64;

    CVElevationGrid();

    CVSFNode<CVColor> color{this};
    CVSFNode<CVNormal> normal{this};
    // Kept and written back; the grid makes its own texture coordinates
    // (0 to 1 across the columns, 1 to 0 down the rows).
    CVSFNode<CVTextureCoordinate> texCoord{this};
    CVMFFloat height;
    CVSFBool ccw;
    CVSFBool colorPerVertex;
    // Not 0: one normal per cell (flat cells); 0: normals smoothed over the
    // cells round each grid point.
    CVSFFloat creaseAngle;
    CVSFBool normalPerVertex;
    CVSFBool solid;
    CVSFInt32 xDimension;
    CVSFFloat xSpacing;
    CVSFInt32 zDimension;
    CVSFFloat zSpacing;
    // Only changes the selection names: cell (i, j) is named i * zDimension
    // + j instead of j * xDimension + i.
    CVSFBool transposeData;
    // Also document attributes and elements (after the fields above), so
    // that a surface chart's bands read and write with its document: the
    // colour levels (a ColorInterpolator element inside the grid; its keys
    // are the level heights, ascending, its values the band colours), the
    // switch that fills the bands between the levels (else each grid point
    // takes the colour of its level), and the switch that leaves out cells
    // with a missing height.
    CVSFNode<CVColorInterpolator> colorLevels{this};
    CVSFBool contourBands;
    CVSFBool skipMissing;

    // Set by program code only.
    // Another grid whose heights, coordinate lists and height range this one
    // uses (followed to the end of the chain); its dimensions must be ours.
    CVSFNode<CVElevationGrid> heightSource{this};
    // Drawn flat at flatHeight, coloured by the heights when it has them.
    CVSFBool flatGrid;
    CVSFFloat flatHeight;
    // Side walls from the surface's border down to wallBase, in wallColor
    // when that holds exactly one colour.
    CVSFBool drawWalls;
    CVSFNode<CVColor> wallColor{this};
    CVSFFloat wallBase;
    // With colour levels but without bands: splitCells cuts a cell whose
    // corner colours differ into four, again and again (splitDepth times at
    // most) while its heights differ by more than splitTolerance across a
    // diagonal, so that the colours change nearer the levels.
    CVSFInt32 splitDepth;
    CVSFFloat splitTolerance;
    CVSFBool splitCells;
    // Sends no normals (for unlit drawing).
    CVSFBool noNormals;

    static float GetMissingValue() { return lumo::grid::kMissingValue; }
    static bool IsMissingValue(float h) { return h == lumo::grid::kMissingValue; }

    // The positions of the columns (x) and rows (z) in place of multiples of
    // the spacing; empty lists use the spacing.
    void SetXZCoordLists(std::vector<double> x, std::vector<double> z);
    // The lists this grid draws with (its height source's when it has one).
    void GetXZCoordLists(const std::vector<double>*& x, const std::vector<double>*& z) const;
    // Stores a non-null interpolator as the colour levels (null changes
    // nothing; colorLevels.SetValue(nullptr) removes them).
    void SetColorLevels(CVColorInterpolator* levels);
    int IsSetColorLevels() const { return colorLevels.GetValue() != nullptr; }
    // The height range of the bounding box, in place of the heights'; with a
    // height source, the source's.
    void SetHeightMinMax(float min, float max);
    // 0 when no range is set.
    int GetHeightMinMax(float& min, float& max) const;
    void UnsetHeightMinMax();
    // Image-map mode: each cell in the image-map colour of its selection
    // name (plus the index offset) at 'colourBits' bits per pixel.
    void SetImageMapColorInfo(int colourBits);
    void UnsetImageMapColorInfo();
    bool IsImageMapMode() const { return mImageMap; }
    int GetImageMapColorInfo() const { return mImageMapBits; }
    void SetImageMapIndexOffset(int offset) { mImageMapOffset = offset; }
    int GetImageMapIndexOffset() const { return mImageMapOffset; }

    // The height indices of the corners of cell (i, j): (i, j), (i, j + 1),
    // (i + 1, j + 1), (i + 1, j); false (out untouched) for a flat grid or a
    // cell outside the grid.
    bool GetHeightIndex(int i, int j, int out[4]) const;
    // The same for the cell whose first corner is grid point n.
    bool GetHeightIndex(int n, int out[4]) const;
    // The corner positions of cell (i, j) in the same order, and their
    // height indices; false for a cell outside the grid.
    bool GetCoord(int i, int j, CVVector out[4], int heightIndex[4]) const;
    bool GetCoord(int n, CVVector out[4]) const;
    // The colour indices of the corners of the cell at grid point n: all -1
    // without a colour node; per vertex the four corners' grid points; per
    // face the cell's number ((n mod x) + (n div x) (x - 1)) four times.
    void GetColorIndex(int n, int out[4]) const;
    // The same with the normal node and normalPerVertex.
    void GetNormalIndex(int n, int out[4]) const;
    // The heights drawn: the end of the height-source chain's.
    const CVMFFloat& GetHeightArray() const;
    // One unit normal per cell, row by row (empty when the grid draws
    // nothing).
    void ComputeFaceNormals(CVMFVec3f& normals, int skipMissingCells) const;
    // A new line set per colour-level key, in key order, holding the contour
    // of that level over the whole grid (empty for a key that is no level);
    // none without colour levels. The line sets are new (count 0): the
    // caller stores or releases them.
    [[nodiscard]] std::vector<CVIndexedLineSet*> CreateContourLineNodes() const;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // x and z over the columns and rows, y over the heights (or the set
    // range, or the flat height); missing heights take no part; walls add
    // their base. Empty when the grid draws nothing.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    // A CVElevationGridDetail for the cell named 'name'.
    CVDetail* GetPickDetail(unsigned int name) override;
    // Why the grid draws nothing (or what of it is not used); empty when
    // all is well.
    std::wstring GetProblem() const;

private:
    struct Resolved;
    Resolved Resolve() const;
    const CVElevationGrid* Source(bool& tooLong) const;
    // Compares what the surface is made from with the last look; bumps the
    // generation when it differs.
    void CheckInputs();
    void Rebuild(const lumo::grid::GridGeometry& grid, float alpha, bool texturing, bool colours);

    std::vector<double> mXList, mZList;
    std::vector<float> mHeightRange; // empty, or min and max
    bool mImageMap = false;
    int mImageMapBits = 0;
    int mImageMapOffset = 0;

    CVGeometryList mList;
    CVValueWatch mWatch;
    std::uint64_t mGeneration = 0;
    std::uint64_t mListGeneration = ~std::uint64_t(0);
    bool mListTexturing = false;
    float mListAlpha = 1.0f;
    std::uint64_t mBoxGeneration = ~std::uint64_t(0);
    CVBox3f mBox;
    CVProblemNote mProblemNote;
};

// The cell of an elevation grid that a pick hit: its selection name.
class CVElevationGridDetail : public CVIndexDetail {
    LUMO_DECLARE_CLASS(CVElevationGridDetail)

public:
    CVElevationGridDetail(int index, CVElevationGrid* grid) : CVIndexDetail(index), mGrid(grid) {}
    CVElevationGrid* GetGeometry() const { return mGrid.get(); }

private:
    CVRefPtr<CVElevationGrid> mGrid; // held: a detail outlives the pick that made it
};
