// One hit of a pick: the node path from the outermost named node down to the
// hit shape, and the detail of the part of the shape that was hit. The path's
// nodes and the detail's geometry are held with counted references, so a
// record stays valid, whatever becomes of the scene, for as long as it is held.
#pragma once

#include "scene/core/Detail.h"
#include "scene/core/Node.h"
#include "scene/model/Base.h"

#include <cstdint>
#include <memory>

class CVPickedShape : public CVBase {
    LUMO_DECLARE_CLASS(CVPickedShape)

public:
    CVPickedShape() = default;
    ~CVPickedShape() override;
    CVPickedShape(const CVPickedShape&) = delete;
    CVPickedShape& operator=(const CVPickedShape&) = delete;

    const CVNodePath& GetPath() const { return mPath; }
    // The last node of the path, taken as the shape; null for an empty path.
    CVNode* GetShape() const { return mPath.empty() ? nullptr : mPath.back(); }
    // The detail of the hit part, its values computed on the first call;
    // null when the shape reports none.
    CVDetail* GetDetail();
    // Appends the node to the path (a null node is ignored); a shape's
    // detail for 'part' replaces the detail held.
    void AddNode(CVNode* node, unsigned int part);

    // The hit's window depths (0 nearest, 0xFFFFFFFF farthest).
    std::uint32_t GetMinDepth() const { return mMinDepth; }
    std::uint32_t GetMaxDepth() const { return mMaxDepth; }
    void SetDepths(std::uint32_t minDepth, std::uint32_t maxDepth)
    {
        mMinDepth = minDepth;
        mMaxDepth = maxDepth;
    }

private:
    CVNodePath mPath; // each node referenced once
    std::unique_ptr<CVDetail> mDetail;
    bool mDetailComputed = false;
    std::uint32_t mMinDepth = 0;
    std::uint32_t mMaxDepth = 0;
};
