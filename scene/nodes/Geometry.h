// Base of every geometry: drawn only through its shape, with a flag word of
// display options that decide queuing, shadows and highlighting.
#pragma once

#include "scene/cache/CacheManager.h"
#include "scene/core/Detail.h"
#include "scene/core/Node.h"
#include "scene/core/NodeType.h"
#include "scene/core/State.h"
#include "scene/model/Vector.h"

#include <cstdint>
#include <vector>

class CVAppearance;

class CVGeometry : public CVNode {
    LUMO_DECLARE_CLASS(CVGeometry)

public:
    enum Flags : std::uint32_t {
        CACHED = 0x1,
        MODIFIED = 0x2,
        ANTIALIASED = 0x4,
        TRANSPARENT = 0x8,
        DROP_SHADOW = 0x10,
        NOT_VRML_COMPLIANT = 0x20,
        NOT_VISIBLE = 0x40,
        NOT_SELECTABLE = 0x80,
        DATA_POINT = 0x100,
        DETAIL_PIE_SLICE = 0x200,
        GRAPH_SHAPE = 0x400,
        FORCE_SORT = 0x800,
        STIPPLED = 0x1000,
        ANNOTATION = 0x2000,
        MARKER = 0x4000,
        TOPO_CHART = 0x8000,
        Y_AXIS_EXTRUSION = 0x10000,
        PARTIAL_SELECTION = 0x20000,
        POST_JITTER = 0x40000,
    };

    // Geometries are drawn by their shape; the node-level Render does nothing.
    using CVNode::Render;
    virtual void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) = 0;

    std::uint32_t GetFlags() const { return mFlags; }
    void SetCachedFlag(int on) { SetBit(CACHED, on); }
    int IsCached() const { return Bit(CACHED); }
    // Setting it also drops the cached bit; clearing clears both.
    void SetModifiedFlag(int on);
    int IsModified() const { return Bit(MODIFIED); }
    void SetAntialiasedFlag(int on) { SetBit(ANTIALIASED, on); }
    int IsAntialiased() const { return Bit(ANTIALIASED); }
    void SetTransparentFlag(int on) { SetBit(TRANSPARENT, on); }
    int IsTransparent() const { return Bit(TRANSPARENT); }
    void SetDropShadowFlag(int on) { SetBit(DROP_SHADOW, on); }
    int IsDropShadowed() const { return Bit(DROP_SHADOW); }
    void SetVRMLCompliantFlag(int compliant) { SetBit(NOT_VRML_COMPLIANT, !compliant); }
    int IsVRMLCompliant() const { return !Bit(NOT_VRML_COMPLIANT); }
    void SetVisibleFlag(int visible) { SetBit(NOT_VISIBLE, !visible); }
    int IsNotVisible() const { return Bit(NOT_VISIBLE); }
    void SetSelectableFlag(int selectable) { SetBit(NOT_SELECTABLE, !selectable); }
    int IsNotSelectable() const { return Bit(NOT_SELECTABLE); }
    void SetDataPointFlag(int on) { SetBit(DATA_POINT, on); }
    int IsDataPointNode() const { return Bit(DATA_POINT); }
    void SetDetailPieSlice(int on) { SetBit(DETAIL_PIE_SLICE, on); }
    int IsDetailPieSlice() const { return Bit(DETAIL_PIE_SLICE); }
    void SetGraphShapeFlag(int on) { SetBit(GRAPH_SHAPE, on); }
    int IsGraphShape() const { return Bit(GRAPH_SHAPE); }
    void SetForceSortFlag(int on) { SetBit(FORCE_SORT, on); }
    int IsForceSorted() const { return Bit(FORCE_SORT); }
    void SetStippledFlag(int on) { SetBit(STIPPLED, on); }
    int IsStippled() const { return Bit(STIPPLED); }
    void SetAnnotationFlag(int on) { SetBit(ANNOTATION, on); }
    int IsAnnotationNode() const { return Bit(ANNOTATION); }
    void SetMarkerFlag(int on) { SetBit(MARKER, on); }
    int IsMarkerNode() const { return Bit(MARKER); }
    void SetTopoChartFlag(int on) { SetBit(TOPO_CHART, on); }
    int IsTopoChart() const { return Bit(TOPO_CHART); }
    void SetYAxisExtrusionFlag(int on) { SetBit(Y_AXIS_EXTRUSION, on); }
    int IsYAxisExtrusion() const { return Bit(Y_AXIS_EXTRUSION); }
    void SetPartialSelectionFlag(int on) { SetBit(PARTIAL_SELECTION, on); }
    int IsPartialSelection() const { return Bit(PARTIAL_SELECTION); }
    void SetPostJitterFlag(int on) { SetBit(POST_JITTER, on); }
    int IsPostJitter() const { return Bit(POST_JITTER); }
    // Antialiased, transparent, drop-shadowed or force-sorted.
    std::uint32_t NeedsSorting() const { return mFlags & 0x81C; }

    void SetCrdIndex(int index) { mCrdIndex = index; }
    int GetCrdIndex() const { return mCrdIndex; }
    void SetCrdOverlayIndex(std::uint16_t index) { mCrdOverlayIndex = index; }
    std::uint16_t GetCrdOverlayIndex() const { return mCrdOverlayIndex; }
    void SetStippleIndex(std::uint8_t index) { mStippleIndex = index; }
    std::uint8_t GetStippleIndex() const { return mStippleIndex; }
    void SetStipplePercent(std::uint8_t percent) { mStipplePercent = percent; }
    std::uint8_t GetStipplePercent() const { return mStipplePercent; }

    // What the image-map colour of this geometry depends on.
    CVImageMapClass GetImageMapClass() const;

    // The (unnormalised) normal of a polygon; negated when ccw is 0.
    static void ComputeNormal(const std::vector<Point3fStruct>& points, int ccw, CVVector& out);

    // Kinds of geometry whose classes live elsewhere, tested by class name
    // once and remembered.
    enum Kind : std::uint8_t {
        KIND_TEXT = 1,
        KIND_INDEXED_LINE_SET = 2,
        KIND_LINE_BOX = 4,
        KIND_SP_GEOMETRY = 8,
        KIND_SP_ANNOTATION = 16,
        KIND_SP_SECTION = 32,
        KIND_ELEVATION_GRID = 64,
    };
    bool IsKind(Kind kind) const;

protected:
    CVGeometry() = default;
    // Brackets drawing: saves the enable state, turns texturing on when the
    // appearance's texture was made (alpha-tested and blended when it has
    // transparent pixels) and installs the stipple of a highlighted geometry.
    void PreRenderGL(CVState* state, CVGLRenderArea* area, CVAppearance* appearance);
    void PostRenderGL(CVState* state, CVGLRenderArea* area, CVAppearance* appearance);
    static void ComputeArea(const std::vector<Point3fStruct>& points, Point3fStruct& out);
    // Scales the texture matrix for the library's own texture mapping of
    // primitives (saved first); PopTextureScale restores it.
    static void PushTextureScale(float sx, float sy);
    static void PopTextureScale();
    // Draws through a display list of the cache manager's rings: 'get'
    // returns an equal earlier list, 'reserve' a new one to compile (both
    // take the manager). Selection mode never replays lists (they crash some
    // drivers) and draws directly, as does a missing manager.
    template <class Get, class Reserve, class Draw>
    void DrawCached(CVState* state, Get get, Reserve reserve, Draw draw)
    {
        CVCacheManager* cache = CVGetCacheManagerPtr();
        if ((state && state->m_bPickMode) || !cache) {
            draw();
        } else if (unsigned list = get(*cache)) {
            CallList(list);
        } else if ((list = reserve(*cache))) {
            CompileAndDraw(list, draw);
        } else {
            draw();
        }
    }
    // The cache key of a primitive: its slice count, kept apart for the
    // library's own texture stretch, which the list has compiled in.
    int CacheKey(int slices) const { return slices | (IsVRMLCompliant() ? 0 : 0x10000); }

private:
    static void CallList(unsigned list);
    template <class Draw>
    void CompileAndDraw(unsigned list, Draw draw)
    {
        BeginList(list);
        draw();
        EndList();
        SetModifiedFlag(0);
    }
    static void BeginList(unsigned list);
    static void EndList();

    void SetBit(std::uint32_t bit, int on) { mFlags = on ? (mFlags | bit) : (mFlags & ~bit); }
    int Bit(std::uint32_t bit) const { return (mFlags & bit) ? 1 : 0; }

    std::uint32_t mFlags = MODIFIED;
    int mCrdIndex = 0;
    std::uint16_t mCrdOverlayIndex = 0;
    std::uint8_t mStippleIndex = 0;
    std::uint8_t mStipplePercent = 0;
    mutable std::uint8_t mKinds = 0;
    mutable bool mKindsKnown = false;
};
