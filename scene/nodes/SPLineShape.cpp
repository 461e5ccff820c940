#include "scene/nodes/SPLineShape.h"

#include "platform/text/Utf8.h"
#include "scene/cache/TextureImage.h"
#include "scene/nodes/Coordinate.h"
#include "scene/nodes/Extrusion.h"
#include "scene/nodes/IndexedLineSet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace {

constexpr char kNumberChars[] = "-0123456789.";
// Outline areas below this are degenerate: no winding can be told.
constexpr double kDegenerateArea = 1.1102230246251564e-13;

bool IsNumberChar(char c) { return c != 0 && std::strchr(kNumberChars, c) != nullptr; }

} // namespace

bool CVSPLineShape::ReadFloat(const std::string& line, std::size_t& pos, float& value)
{
    while (pos < line.size() && !IsNumberChar(line[pos]))
        ++pos;
    if (pos >= line.size())
        return false;
    std::size_t end = pos;
    while (end < line.size() && IsNumberChar(line[end]))
        ++end;
    const std::string run = line.substr(pos, end - pos);
    pos = end;
    // A run such as "-" or "1-2" reads as far as it is a number; one that
    // is no number at all reads as 0, one too large for a float is refused.
    char* stop = nullptr;
    double v = std::strtod(run.c_str(), &stop);
    if (stop == run.c_str())
        v = 0.0;
    if (!std::isfinite(v) || std::fabs(v) > 3.0e38)
        return false;
    value = float(v);
    return true;
}

void CVSPLineShape::ProcessLine(const std::string& line)
{
    if (line.size() >= 3 && (line[0] == 'R' || line[0] == 'r') && (line[1] == 'E' || line[1] == 'e') &&
        (line[2] == 'M' || line[2] == 'm'))
        return;
    float v[4];
    std::size_t pos = 0;
    for (float& x : v)
        if (!ReadFloat(line, pos, x))
            return;
    if (mSegments.size() >= kMaxSegments) {
        mOverflow = true;
        return;
    }
    const Point3fStruct a{v[0], -v[1], 0.0f}, b{v[2], -v[3], 0.0f};
    if (mSegments.empty()) {
        mMin = mMax = a;
    }
    for (const Point3fStruct& p : {a, b}) {
        mMin = {std::min(mMin.x, p.x), std::min(mMin.y, p.y), 0.0f};
        mMax = {std::max(mMax.x, p.x), std::max(mMax.y, p.y), 0.0f};
    }
    mSegments.emplace_back(a, b);
}

bool CVSPLineShape::Read(std::istream& in)
{
    mSegments.clear();
    mMin = mMax = {0, 0, 0};
    mOverflow = false;
    std::string line;
    std::size_t total = 0;
    while (std::getline(in, line)) {
        total += line.size() + 1;
        if (total > kMaxFileBytes) {
            mOverflow = true;
            break;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ProcessLine(line);
        if (mOverflow)
            break;
    }
    if (mOverflow) {
        mSegments.clear();
        mMin = mMax = {0, 0, 0};
        return false;
    }
    return true;
}

bool CVSPLineShape::CreateFromFile(const std::wstring& searchPath, const std::wstring& fileName, IUnknown* caller)
{
    try {
        const std::wstring file = lumo::texture::ResolveImageFile(caller, searchPath, fileName);
        if (file.empty())
            return false;
        const std::string path = lumo::ToUtf8(file);
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || std::size_t(st.st_size) > kMaxFileBytes)
            return false;
        std::ifstream in(path, std::ios::binary);
        return in && Read(in);
    } catch (...) {
        mSegments.clear();
        return false;
    }
}

CVGeometry* CVSPLineShape::CreateGeometry(int solid, float width, float height, float depth) const
{
    if (mSegments.size() < 2)
        return nullptr;
    const float ex = mMax.x - mMin.x, ey = mMax.y - mMin.y;
    if (!(ex >= 1e-12f) && !(ey >= 1e-12f))
        return nullptr; // every segment on one point: nothing to see
    const float fx = ex < 1e-12f ? 1.0f : width / ex, fy = ey < 1e-12f ? 1.0f : height / ey;
    const float cx = (mMin.x + mMax.x) / 2.0f, cy = (mMin.y + mMax.y) / 2.0f;
    auto place = [&](const Point3fStruct& p, float z) {
        return Point3fStruct{(p.x - cx) * fx, (p.y - cy) * fy, z};
    };
    if (!solid) {
        auto* lines = new CVIndexedLineSet;
        auto* coord = new CVCoordinate;
        coord->point.SetCapacity(int(mSegments.size() * 2));
        lines->coordIndex.SetCapacity(int(mSegments.size() * 3));
        int n = 0;
        for (const CVSegment& s : mSegments) {
            coord->point.Add(place(s.GetStart(), depth / 2.0f));
            coord->point.Add(place(s.GetEnd(), depth / 2.0f));
            lines->coordIndex.Add(n++);
            lines->coordIndex.Add(n++);
            lines->coordIndex.Add(-1);
        }
        lines->coord.SetValue(coord);
        lines->SetSelectableFlag(1);
        lines->SetAntialiasedFlag(1);
        return lines;
    }
    // The outline through the segments' start points, closed with the
    // first; the extrusion's spine runs along z, which turns the section's
    // second coordinate into -y.
    auto* body = new CVExtrusion;
    body->crossSection.SetCapacity(int(mSegments.size() + 1));
    double area = 0.0;
    for (std::size_t i = 0; i <= mSegments.size(); ++i) {
        const Point3fStruct p = place(mSegments[i % mSegments.size()].GetStart(), 0.0f);
        body->crossSection.Add(Point2fStruct{p.x, -p.y});
        const Point3fStruct q = place(mSegments[(i + 1) % mSegments.size()].GetStart(), 0.0f);
        if (i < mSegments.size())
            area += double(p.x) * q.y - double(q.x) * p.y;
    }
    body->spine.Add(Point3fStruct{0.0f, 0.0f, -depth / 2.0f});
    body->spine.Add(Point3fStruct{0.0f, 0.0f, depth / 2.0f});
    body->creaseAngle.SetValue(1.064f);
    body->spineCreaseAngle.SetValue(3.14f);
    if (std::fabs(area / 2.0) >= kDegenerateArea)
        body->ccw.SetValue(area > 0.0 ? 0 : 1);
    body->SetSelectableFlag(1);
    return body;
}
