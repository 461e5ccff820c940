// The common base of face sets and line sets: a coordinate list, the index
// list that cuts it into parts (faces, polylines; -1 ends a part) and the
// colours of the parts or their vertices.
//
// Bounds: every index is checked against the list it points into. Entries
// outside it, and negative entries other than -1, are skipped wherever the
// geometry is drawn or measured; nothing is read out of bounds. All work is
// linear in the lengths of the lists (which the reader bounds by the
// document's size).
#pragma once

#include "scene/model/Box3f.h"
#include "scene/model/MFields.h"
#include "scene/core/NodeFields.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Color.h"
#include "scene/nodes/Coordinate.h"
#include "scene/nodes/Geometry.h"

#include <cstdint>
#include <vector>

class CVIndexedSet : public CVGeometry {
    LUMO_DECLARE_CLASS(CVIndexedSet)

public:
    CVSFNode<CVColor> color{this};
    CVSFNode<CVCoordinate> coord{this};
    CVMFInt32 colorIndex;
    CVSFBool colorPerVertex;
    CVMFInt32 coordIndex;

    // The positions in coordIndex of part 'part': start is the position just
    // after the part-th -1 (0 for part 0; after the last -1 when there are
    // fewer), count the entries from there to the next -1 or the end. A
    // negative part has none (start 0, count 0).
    void GetCoordinateIndex(int part, int& start, int& count) const;
    // Where the colours of a part are: per vertex, the part's positions
    // (as GetCoordinateIndex); per part, index = part and count 1. The flag
    // is 1 when colorIndex is empty (colours go by coordinate or part
    // number), else 0.
    void GetColorIndex(int part, int& index, int& count, int& flag) const;

    // The box round every coordinate that coordIndex names (valid entries
    // only); empty when there are none. Kept until the geometry changes.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;

protected:
    CVIndexedSet();

    // The number of parts (-1 entries, plus one when the list does not end
    // with -1; 0 for an empty list) and the largest entry (-1 when empty).
    void GetCoordInfo(int& parts, int& maxIndex) const;
    // What the cached box and display list were made from: the nodes held,
    // the lists' storage and lengths and the other values a subclass adds.
    // A change that bypassed SetModifiedFlag still shows here.
    class Inputs {
    public:
        void Add(const void* p) { mValues.push_back(reinterpret_cast<std::uintptr_t>(p)); }
        void Add(std::uintptr_t v) { mValues.push_back(v); }
        bool operator==(const Inputs& o) const { return mValues == o.mValues; }
        bool operator!=(const Inputs& o) const { return !(*this == o); }

    private:
        std::vector<std::uintptr_t> mValues;
    };
    virtual void CollectInputs(Inputs& inputs) const;
    // Marks the geometry modified when its inputs differ from the last call's.
    void CheckInputs();

private:
    CVBox3f mBox;
    Inputs mBoxInputs;
    Inputs mLastInputs;
};

// Walks the parts of an index list: each call of Next gives the positions
// [start, end) of the next part (end excludes its -1) and its number.
class CVIndexedParts {
public:
    CVIndexedParts(const int* indices, int count) : mIndices(indices), mCount(count) {}
    bool Next(int& part, int& start, int& end)
    {
        if (mPos >= mCount)
            return false;
        start = mPos;
        while (mPos < mCount && mIndices[mPos] != -1)
            ++mPos;
        end = mPos;
        if (mPos < mCount)
            ++mPos; // the -1
        part = mPart++;
        return true;
    }

private:
    const int* mIndices;
    int mCount;
    int mPos = 0;
    int mPart = 0;
};
