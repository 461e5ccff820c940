// The view values of the interactive controller that drawing code reads (the
// selection box sizes its lines by them). The controller implements this; a
// render area without a controller has none.
#pragma once

class CVNode;

class CVControllerValues {
public:
    virtual ~CVControllerValues() = default;
    // The scene's zoom factor (1 at the start; the controller keeps it at
    // 0.01 or above).
    virtual float GetScale() const = 0;
    // World units a dragged object moves per pixel at scale 1.
    virtual float GetDragTranslationScale() const = 0;
    // Whether the cross section lists this shelf-plan geometry (by its id).
    virtual bool IsNodeInCrossSection(const CVNode*) const { return false; }
    // Whether this shelf-plan geometry belongs to an object being dragged.
    virtual bool IsDraggedGeometry(const CVNode*) const { return false; }
};
