// Picking: which shapes lie under a window rectangle (the aperture), which
// part of each was hit, and which of them is the closest. The scene is drawn
// once in OpenGL's selection mode through a pick matrix; each hit becomes a
// CVPickedShape with its node path and detail, and one is elected closest.
//
// Selection names are small numbers into a per-pick table (CVPickNames), and
// only the innermost named node's number is on OpenGL's name stack, so
// scenes of any depth stay within the driver's shallow name stack. Geometry
// is drawn directly, never from display lists, while picking.
//
// Parts: a shape pushes the name 0xFFFFFFFF for its geometry, and a geometry
// whose parts can be hit apart loads each part's number with glLoadName
// before drawing it (face sets their faces, line sets their polylines, point
// sets their points); the shape's GetPickDetail(part) turns the number into
// the detail. Geometry added later (text, elevation grids, extrusions) joins
// the same way; the one rule kept here is that a text in a bitmap font is
// hit as a whole (IsBitmapText), which takes effect once text nodes exist.
//
// Bounds: the selection buffer starts at GetPickBufferSize() 32-bit entries
// (50,000) and, when the hits overflow it, grows fourfold and the pick runs
// again, up to GetPickBufferLimit() entries (at most 2^24, 64 MiB); at the
// limit the complete records that fit are kept (IsPartialResult()).
#pragma once

#include "scene/interact/PickAperture.h"
#include "scene/interact/PickNames.h"
#include "scene/interact/PickedShape.h"
#include "scene/render/GLAction.h"

#include <cstdint>
#include <memory>
#include <vector>

class CVBitmapFontStyle;
class CVCamera;
class CVText;

class CVPickAction : public CVGLAction {
public:
    static constexpr unsigned kDefaultPickBufferSize = 50000;
    static constexpr unsigned kMaxPickBufferSize = 1u << 24;

    using PickedShapeList = std::vector<std::shared_ptr<CVPickedShape>>;

    explicit CVPickAction(CVGLRenderArea* area);
    ~CVPickAction() override;

    // The buffer's first size, at most the limit.
    void SetPickBufferSize(unsigned size);
    unsigned GetPickBufferSize() const { return mBufferSize; }
    // How far the buffer may grow (at most kMaxPickBufferSize); the buffer
    // is cut down to it when larger.
    void SetPickBufferLimit(unsigned limit);
    unsigned GetPickBufferLimit() const { return mBufferLimit; }

    // Stores the aperture in OpenGL window coordinates: x and y divided by
    // the area's global stretch factor when above 1, all four divided by its
    // global scale factor when between 0 and 1, and y counted up from the
    // viewport's bottom. A null aperture is an empty one (it picks nothing).
    void SetAperture(const CVPickAperture* aperture);
    void SetAperture(double x, double y, double width, double height);
    const CVPickAperture& GetAperture() const { return mAperture; }

    // Names only shapes and nodes of the class (which may be null), so the
    // paths hold only those; the election rules of the groups left out still
    // apply.
    void SetMinimizeNameStackDepth(const CVRuntimeClass* cls);
    void UnSetMinimizeNameStackDepth();
    int IsMinimizingNameStackDepth() const { return mMinimize; }

    int Apply(CVNode* root) override { return Apply(root, static_cast<CVNode*>(nullptr)); }
    // Picks over root and then the overlay (when given) in one pass (an
    // overlay that is a camera is passed as a CVNode*: a CVCamera* selects
    // the form below). 0 for a
    // null root or an area without a usable context; 1 otherwise, also when
    // nothing could be hit (an empty aperture, or one outside the area's
    // viewport: the part of an aperture outside it is never looked through).
    int Apply(CVNode* root, CVNode* overlay);
    // Picks root seen through the camera: the camera's children are set
    // aside, root is made its only child for the pick, and the children are
    // put back. Without a camera, Apply(root); 0 when root cannot be the
    // camera's child (not a child node, or the camera is root or inside it).
    int Apply(CVNode* root, CVCamera* camera);

    void PreActOn(CVNode* node) override;
    void PostActOn(CVNode* node) override;

    // The records of the last pick, in the order of their hits. Each is
    // shared: a caller may keep one past the next pick, and its nodes live
    // as long as it is kept.
    const PickedShapeList& GetPickedShapeList() const { return mPicked; }
    int GetNumPickedShapes() const { return int(mPicked.size()); }
    // Throws std::out_of_range for an index outside the list.
    CVPickedShape* GetPickedShape(int index) const;
    CVPickedShape* GetClosestPickedShape() const;
    int GetClosestIndex() const { return mClosest; }
    // What leaving selection mode returned in the last pass (negative after
    // an overflow), and whether the records are those that fitted a buffer
    // at its limit.
    int GetHitCount() const { return mHitCount; }
    bool IsPartialResult() const { return mPartial; }

    // Empties the results: the list, the closest index (-1), the hit count.
    void Reset() override;

    // True, with both set, when the node is a shape whose geometry is a text
    // drawn in a bitmap font style; false (both null) otherwise.
    static bool IsBitmapText(CVNode* node, CVText*& text, CVBitmapFontStyle*& style);

private:
    // One pass in selection mode; false when the aperture sees nothing of
    // the viewport (nothing drawn). 'hits' is what leaving the mode returned.
    bool SelectionPass(CVNode* root, CVNode* overlay, int& hits);
    // The aperture cut to the visible window, as centre and size; false when
    // nothing of it is left.
    bool VisibleAperture(const int glViewport[4], double& x, double& y, double& w, double& h) const;
    bool GrowBuffer();
    void TakeHits(int hits);
    bool GetsName(CVNode* node) const;

    struct Frame {
        std::uint32_t name;
        std::uint8_t rules;
    };

    std::vector<std::uint32_t> mBuffer;
    unsigned mBufferSize = kDefaultPickBufferSize;
    unsigned mBufferLimit = kMaxPickBufferSize;
    CVPickAperture mAperture;
    int mMinimize = 0;
    const CVRuntimeClass* mMinimizeClass = nullptr;
    CVPickNames mNames;
    std::vector<Frame> mWalk;
    PickedShapeList mPicked;
    int mHitCount = 0;
    bool mPartial = false;
    int mClosest = -1;
};
