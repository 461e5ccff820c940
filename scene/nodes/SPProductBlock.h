// Where the units of a shelf-plan product go: a block of facings across,
// up and deep, their pitch (gaps, nesting), each unit's turn, and the cap
// block laid on top. Pure arithmetic, shared by drawing, picking and the
// bounding box.
//
// Bounds: facing counts are truncated and kept within [1, kMaxFacings] per
// axis (a count that is no number is 1); a nesting depth is kept within
// [0, the unit's extent] and a negative gap closes a row up at most; a block of more than kMaxUnits units is drawn as one box (the
// simple block), and 'capped' tells the caller to report it.
#pragma once

#include "scene/model/Structs.h"

#include <string>

namespace lumo::planogram {

constexpr int kMaxFacings = 1024;
constexpr long kMaxUnits = 65536;

enum class Nest { None, Up, Down, Back, Front, Left, Right };

struct Counts {
    int x = 1, y = 1, z = 1;
    long Total() const { return long(x) * y * z; }
};

struct BlockInput {
    Point3fStruct size{1, 1, 1};
    Point3fStruct facings{1, 1, 1};
    Point3fStruct capFacings{0, 0, 0};
    Point3fStruct faceRotation{0, 0, 0}; // degrees
    float xfacingGap = 0.0f;
    float nestDepth = 0.0f;
    Nest nest = Nest::None;
    bool hasShape = false; // a body shape, or a fill pattern's stippled box
};

// A run of units in one frame (the block, or the caps in theirs).
struct UnitRun {
    Counts n;
    Point3fStruct extent{1, 1, 1}; // of one (turned) unit
    Point3fStruct pitch{1, 1, 1};
    int nestAxis = -1;       // 0 x, 1 y, 2 z; -1 none
    bool descending = false; // drawn from the last unit down
    // Unit (i, j, k)'s centre.
    Point3fStruct Centre(int i, int j, int k) const;
    // The box of all units' extents: minimum and maximum corner.
    void Bounds(Point3fStruct& min, Point3fStruct& max) const;
};

struct Block {
    bool simple = true;       // one box of size x facings
    bool capped = false;      // counts were cut to the bounds
    Counts n;
    Point3fStruct blockSize{1, 1, 1}; // W, H, D (simple block)
    UnitRun units;
    Point3fStruct angles{0, 0, 0}; // whole degrees in [0, 360)
    bool turned = false;
    // Caps (all three counts at least 1).
    bool hasCaps = false;
    bool capSimple = true; // the caps as one box
    Counts cap;
    Point3fStruct capSize{0, 0, 0};   // in the cap frame
    Point3fStruct capCentre{0, 0, 0}; // in the product frame
    UnitRun capUnits;
    // The product's box: block and caps, in the product frame.
    Point3fStruct min{0, 0, 0}, max{0, 0, 0};
};

Nest ParseNest(const std::wstring& name);
// A face angle as whole degrees in [0, 360): -90 is 270.
float ReduceAngle(float degrees);
Block MakeBlock(const BlockInput& in);
// The extent of a box of extent s turned by the angles (degrees about x,
// then y, then z, as glRotatef applies them in that order).
Point3fStruct TurnedExtent(const Point3fStruct& s, const Point3fStruct& angles);

} // namespace lumo::planogram
