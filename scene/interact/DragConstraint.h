// Decides where a dragged object may go. The controller proposes a new
// translation for each selected transform (its translation at drag start
// plus the mouse offset turned into world units); a constraint may change
// it. The default keeps every move; CVAxisDragConstraint keeps only the part
// of a move along one direction. Shelf-plan objects plug in their own rule
// here (a product sliding along its shelf).
#pragma once

#include "scene/interact/SelectionRecords.h"

class CVDragConstraint {
public:
    virtual ~CVDragConstraint() = default;
    // The translation the record's transform gets, given the one it had at
    // drag start and the one the mouse asks for. Returns `proposed` by
    // default.
    virtual Point3fStruct Constrain(const SelectedNodeInfoStruct& record, const Point3fStruct& atStart,
                                    const Point3fStruct& proposed) const;
};

// Moves only along one direction (the proposed move projected onto it); a
// direction of zero length, or not finite, allows no move at all.
class CVAxisDragConstraint : public CVDragConstraint {
public:
    explicit CVAxisDragConstraint(const Point3fStruct& direction);
    Point3fStruct Constrain(const SelectedNodeInfoStruct& record, const Point3fStruct& atStart,
                            const Point3fStruct& proposed) const override;

private:
    Point3fStruct mUnit{0.0f, 0.0f, 0.0f};
};
