// Body outlines of shelf-plan objects drawn as line segments in a text file
// (".SHP"): each line "x1 y1 x2 y2", "REM" lines are comments. The shape
// becomes a flat wire drawing or an extruded solid scaled to the object.
//
// Bounds: a file over kMaxFileBytes or with more than kMaxSegments segments
// is refused whole (no geometry: the object keeps its box). Lines of any
// length are read whole.
#pragma once

#include "platform/com/Unknown.h"
#include "scene/model/Structs.h"

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

class CVGeometry;

// A line segment between two points.
class CVSegment {
public:
    CVSegment(const Point3fStruct& start, const Point3fStruct& end) : mStart(start), mEnd(end) {}
    const Point3fStruct& GetStart() const { return mStart; }
    const Point3fStruct& GetEnd() const { return mEnd; }

private:
    Point3fStruct mStart, mEnd;
};

class CVSPLineShape {
public:
    static constexpr std::size_t kMaxFileBytes = 16u << 20;
    static constexpr std::size_t kMaxSegments = 262144;

    // Finds the file (an absolute location as it stands, else along the
    // search path, fetched through the caller when it is a URL) and reads
    // it. False when it cannot be found or read, or breaks a bound.
    bool CreateFromFile(const std::wstring& searchPath, const std::wstring& fileName, IUnknown* caller);
    // Reads the lines of a stream (what CreateFromFile does once the file
    // is open); false past a bound, leaving no segments.
    bool Read(std::istream& in);
    // One line: a comment, four numbers making a segment, or nothing.
    void ProcessLine(const std::string& line);
    // The next number at or after pos: the longest run of "-0123456789."
    // after skipping other characters. False when the line has no more
    // runs; a run that is no finite number reads as false too.
    static bool ReadFloat(const std::string& line, std::size_t& pos, float& value);

    const std::vector<CVSegment>& GetSegments() const { return mSegments; }
    // The box of all segment ends (zeros without segments).
    const Point3fStruct& GetMin() const { return mMin; }
    const Point3fStruct& GetMax() const { return mMax; }

    // A new geometry (unreferenced) of the drawing scaled to width x height
    // and centred: wire lines at z = depth / 2, or a solid extruded depth
    // deep. Null with fewer than two segments or when they all lie on one
    // point.
    CVGeometry* CreateGeometry(int solid, float width, float height, float depth) const;

private:
    std::vector<CVSegment> mSegments;
    Point3fStruct mMin{0, 0, 0}, mMax{0, 0, 0};
    bool mOverflow = false;
};
