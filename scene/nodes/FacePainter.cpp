#include "scene/nodes/FacePainter.h"

#include "scene/nodes/Tessellator.h"

#include "scene/model/Vector.h"
#include "scene/nodes/Geometry.h"
#include "scene/nodes/IndexedSet.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <deque>
#include <new>

namespace lumo::faces {

namespace {

bool Finite(const Point3fStruct& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// The value at 'index' of a list of 'count' entries, null when the index
// is outside it.
template <class T>
const T* At(const T* list, int count, int index)
{
    return list && index >= 0 && index < count ? &list[index] : nullptr;
}

// The entry of an optional index list for a position or a face; without
// the list, the fallback (the coordinate index or the face number).
int Lookup(const int* indices, int count, int at, int fallback)
{
    if (count == 0)
        return fallback;
    return at < count ? indices[at] : -1;
}

// One vertex as the tessellator carries it.
struct FaceVertexData {
    double xyz[3];
    float rgba[4];
    float normal[3];
    float st[2];
    unsigned char has = 0; // HAS_COLOR | HAS_NORMAL | HAS_TEXTURE
};
enum : unsigned char { HAS_COLOR = 1, HAS_NORMAL = 2, HAS_TEXTURE = 4 };

// What the tessellator's callbacks share for one run.
struct TessRun {
    bool pick = false;
    std::deque<FaceVertexData> vertices; // stable addresses while a polygon is open
};

void SendVertex(const FaceVertexData& v, bool pick)
{
    if (!pick) {
        if (v.has & HAS_COLOR)
            glColor4fv(v.rgba);
        if (v.has & HAS_NORMAL)
            glNormal3fv(v.normal);
        if (v.has & HAS_TEXTURE)
            glTexCoord2fv(v.st);
    }
    glVertex3dv(v.xyz);
}

void GLAPIENTRY TessBegin(GLenum type, void*) { glBegin(type); }
void GLAPIENTRY TessEdgeFlag(GLboolean flag, void*) { glEdgeFlag(flag); }
void GLAPIENTRY TessEnd(void*) { glEnd(); }
void GLAPIENTRY TessError(GLenum, void*) {} // the face is drawn as far as the tessellator got
void GLAPIENTRY TessVertex(void* vertex, void* run)
{
    SendVertex(*static_cast<const FaceVertexData*>(vertex), static_cast<const TessRun*>(run)->pick);
}

// The values of one kind a vertex carries: where they are and how many.
float* Values(FaceVertexData& v, unsigned char kind, int& count)
{
    count = kind == HAS_COLOR ? 4 : kind == HAS_NORMAL ? 3 : 2;
    return kind == HAS_COLOR ? v.rgba : kind == HAS_NORMAL ? v.normal : v.st;
}

// A new vertex where edges cross: the position given, the other values
// weighted from the vertices that have them.
void GLAPIENTRY TessCombine(GLdouble coords[3], void* data[4], GLfloat weight[4], void** out, void* runData)
{
    auto* run = static_cast<TessRun*>(runData);
    *out = data[0];
    try {
        FaceVertexData& v = run->vertices.emplace_back();
        std::copy(coords, coords + 3, v.xyz);
        for (unsigned char kind : {HAS_COLOR, HAS_NORMAL, HAS_TEXTURE}) {
            int count = 0;
            float* dst = Values(v, kind, count);
            float total = 0.0f;
            std::fill(dst, dst + count, 0.0f);
            for (int i = 0; i < 4; ++i) {
                auto* d = static_cast<FaceVertexData*>(data[i]);
                if (!d || !(d->has & kind))
                    continue;
                const float* src = Values(*d, kind, count);
                for (int c = 0; c < count; ++c)
                    dst[c] += weight[i] * src[c];
                total += weight[i];
            }
            if (total > 0.0f) {
                for (int c = 0; c < count; ++c)
                    dst[c] /= total;
                v.has |= kind;
            }
        }
        *out = &v;
    } catch (...) {
        // Out of memory: the crossing takes the first vertex's place.
    }
}

} // namespace

Point3fStruct FacePainter::FaceNormal(const std::vector<Point3fStruct>& points, bool ccw)
{
    CVVector n;
    CVGeometry::ComputeNormal(points, ccw ? 1 : 0, n);
    double len = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
    if (!(len > 0.0) || !std::isfinite(len))
        return {0.0f, 0.0f, 1.0f};
    return {float(n.x / len), float(n.y / len), float(n.z / len)};
}

FaceTexture::FaceTexture(const std::vector<Point3fStruct>& points)
{
    float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX}, hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    for (const Point3fStruct& p : points) {
        const float v[3] = {p.x, p.y, p.z};
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], v[a]);
            hi[a] = std::max(hi[a], v[a]);
        }
    }
    for (int a = 0; a < 3; ++a) {
        mMin[a] = points.empty() ? 0.0f : lo[a];
        float d = points.empty() ? 0.0f : hi[a] - lo[a];
        // A flat extent would divide by zero.
        mExtent[a] = d == 0.0f ? FLT_MIN : d;
    }
    const float dx = mExtent[0], dy = mExtent[1], dz = mExtent[2];
    mSFromZ = dx <= dy && dx <= dz;
    mTFromZ = dy <= dx && dy <= dz;
}

Point2fStruct FaceTexture::At(const Point3fStruct& p) const
{
    const float fromZ = (mMin[2] - p.z) / mExtent[2];
    return {mSFromZ ? fromZ : (p.x - mMin[0]) / mExtent[0], mTFromZ ? fromZ : (p.y - mMin[1]) / mExtent[1]};
}

void FacePainter::Gather(int start, int end, std::vector<int>& positions) const
{
    positions.clear();
    for (int i = start; i < end; ++i) {
        const int k = mData.coordIndex[i];
        if (k >= 0 && k < mData.numPoints && Finite(mData.points[k]))
            positions.push_back(i);
    }
}

const RGBAColorStruct* FacePainter::VertexColor(int position, int k) const
{
    return At(mData.colors, mData.numColors, Lookup(mData.colorIndex, mData.numColorIndex, position, k));
}

const RGBAColorStruct* FacePainter::FaceColor(int face) const
{
    return At(mData.colors, mData.numColors, Lookup(mData.colorIndex, mData.numColorIndex, face, face));
}

const Point3fStruct* FacePainter::VertexNormal(int position, int k) const
{
    return At(mData.normals, mData.numNormals, Lookup(mData.normalIndex, mData.numNormalIndex, position, k));
}

const Point3fStruct* FacePainter::FaceNormalOf(int face) const
{
    return At(mData.normals, mData.numNormals, Lookup(mData.normalIndex, mData.numNormalIndex, face, face));
}

const Point2fStruct* FacePainter::VertexTexCoord(int position, int k) const
{
    return At(mData.texCoords, mData.numTexCoords, Lookup(mData.texCoordIndex, mData.numTexCoordIndex, position, k));
}

void FacePainter::DrawConvex(const std::vector<Point3fStruct>* cornerNormals) const
{
    const bool vertexNormals = mBindings & PER_VERTEX_NORMALS;
    const bool faceNormals = mBindings & PER_FACE_NORMALS;
    const bool vertexColors = mBindings & PER_VERTEX_COLORS;
    const bool faceColors = mBindings & PER_FACE_COLORS;
    const bool texture = mBindings & TEXTURE_COORDINATES;
    const bool ownNormals = !vertexNormals && !faceNormals && !cornerNormals;
    std::vector<int> positions;
    std::vector<Point3fStruct> points;
    // Edge flags go into the list only for faces of more than three points:
    // every vertex would otherwise carry one. The flag is true between draws.
    bool edge = true;
    glBegin(GL_TRIANGLES);
    CVIndexedParts parts(mData.coordIndex, mData.numCoordIndex);
    int f, start, end;
    try {
        while (parts.Next(f, start, end)) {
            Gather(start, end, positions);
            const int m = int(positions.size());
            if (m < 3)
                continue;
            // The face's own normal and made-up texture coordinates need its points.
            const bool needPoints = ownNormals || vertexNormals || faceNormals || (texture && !mData.texCoords);
            if (needPoints) {
                points.clear();
                for (int i : positions)
                    points.push_back(mData.points[mData.coordIndex[i]]);
            }
            Point3fStruct own{0, 0, 1};
            if (ownNormals || vertexNormals || faceNormals)
                own = FaceNormal(points, mData.ccw);
            if (faceColors)
                if (const RGBAColorStruct* c = FaceColor(f))
                    glColor4fv(&c->red);
            if (faceNormals) {
                const Point3fStruct* n = FaceNormalOf(f);
                glNormal3fv(n ? &n->x : &own.x);
            } else if (ownNormals) {
                glNormal3fv(&own.x);
            }
            FaceTexture made;
            if (texture && !mData.texCoords)
                made = FaceTexture(points);
            auto send = [&](int corner, bool edgeFlag) {
                const int i = positions[size_t(corner)];
                const int k = mData.coordIndex[i];
                if (edgeFlag != edge) {
                    glEdgeFlag(edgeFlag ? GL_TRUE : GL_FALSE);
                    edge = edgeFlag;
                }
                if (vertexColors)
                    if (const RGBAColorStruct* c = VertexColor(i, k))
                        glColor4fv(&c->red);
                if (vertexNormals) {
                    const Point3fStruct* n = VertexNormal(i, k);
                    glNormal3fv(n ? &n->x : &own.x);
                } else if (cornerNormals) {
                    glNormal3fv(&(*cornerNormals)[size_t(i)].x);
                }
                if (texture) {
                    if (mData.texCoords) {
                        if (const Point2fStruct* t = VertexTexCoord(i, k))
                            glTexCoord2fv(&t->x);
                    } else {
                        Point2fStruct t = made.At(mData.points[k]);
                        glTexCoord2fv(&t.x);
                    }
                }
                glVertex3fv(&mData.points[k].x);
            };
            // A fan cut into triangles; only the polygon's own edges are edges.
            for (int t = 1; t + 1 < m; ++t) {
                send(0, t == 1);
                send(t, true);
                send(t + 1, t + 2 == m);
            }
        }
    } catch (const std::bad_alloc&) {
        // Out of memory for a face's points: the faces so far stay drawn.
    }
    glEnd();
    if (!edge)
        glEdgeFlag(GL_TRUE);
}

void FacePainter::PickConvex() const
{
    std::vector<int> positions;
    CVIndexedParts parts(mData.coordIndex, mData.numCoordIndex);
    int f, start, end;
    while (parts.Next(f, start, end)) {
        Gather(start, end, positions);
        if (positions.size() < 3)
            continue;
        glLoadName(GLuint(f));
        glBegin(GL_POLYGON);
        for (int i : positions)
            glVertex3fv(&mData.points[mData.coordIndex[i]].x);
        glEnd();
    }
}

void FacePainter::DrawTessellated(bool contours) const { Tessellate(contours, false); }
void FacePainter::PickTessellated(bool contours) const { Tessellate(contours, true); }

void FacePainter::Tessellate(bool contours, bool pick) const
{
    GLUtesselator* tess = gluNewTess();
    if (!tess)
        return;
    TessRun run;
    run.pick = pick;
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&TessBegin));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(&TessEdgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&TessVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(&TessEnd));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&TessError));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&TessCombine));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    gluTessNormal(tess, 0.0, 0.0, 0.0);

    const bool vertexNormals = !pick && (mBindings & PER_VERTEX_NORMALS);
    const bool faceNormals = !pick && (mBindings & PER_FACE_NORMALS);
    const bool vertexColors = !pick && (mBindings & PER_VERTEX_COLORS);
    const bool faceColors = !pick && (mBindings & PER_FACE_COLORS);
    const bool texture = !pick && (mBindings & TEXTURE_COORDINATES);
    std::vector<int> positions;
    std::vector<Point3fStruct> points;
    try {
        if (contours) {
            // All faces are the contours of one polygon: measured together.
            std::vector<std::vector<Point3fStruct>> all;
            CVIndexedParts parts(mData.coordIndex, mData.numCoordIndex);
            int f, start, end;
            while (parts.Next(f, start, end)) {
                Gather(start, end, positions);
                auto& c = all.emplace_back();
                for (int i : positions)
                    c.push_back(mData.points[mData.coordIndex[i]]);
            }
            if (lumo::TooTangledToTessellate(all)) {
                gluDeleteTess(tess);
                return;
            }
            if (pick)
                glLoadName(0);
            gluTessBeginPolygon(tess, &run);
        }
        CVIndexedParts parts(mData.coordIndex, mData.numCoordIndex);
        int f, start, end;
        while (parts.Next(f, start, end)) {
            Gather(start, end, positions);
            if (positions.size() < 3)
                continue;
            points.clear();
            for (int i : positions)
                points.push_back(mData.points[mData.coordIndex[i]]);
            if (!contours && lumo::TooTangledToTessellate({points}))
                continue;
            Point3fStruct own{0, 0, 1};
            if (vertexNormals || faceNormals)
                own = FaceNormal(points, mData.ccw);
            const RGBAColorStruct* faceColor = faceColors ? FaceColor(f) : nullptr;
            const Point3fStruct* faceNormal = faceNormals ? FaceNormalOf(f) : nullptr;
            if (faceNormals && !faceNormal)
                faceNormal = &own;
            FaceTexture made;
            if (texture && !mData.texCoords)
                made = FaceTexture(points);
            if (!contours) {
                if (pick)
                    glLoadName(GLuint(f));
                gluTessBeginPolygon(tess, &run);
            }
            gluTessBeginContour(tess);
            for (int i : positions) {
                const int k = mData.coordIndex[i];
                const Point3fStruct& p = mData.points[k];
                FaceVertexData& v = run.vertices.emplace_back();
                v.xyz[0] = p.x;
                v.xyz[1] = p.y;
                v.xyz[2] = p.z;
                const RGBAColorStruct* c = vertexColors ? VertexColor(i, k) : faceColor;
                if (c) {
                    v.rgba[0] = c->red, v.rgba[1] = c->green, v.rgba[2] = c->blue, v.rgba[3] = c->alpha;
                    v.has |= HAS_COLOR;
                }
                const Point3fStruct* n = faceNormal;
                if (vertexNormals)
                    n = VertexNormal(i, k) ? VertexNormal(i, k) : &own;
                if (n) {
                    v.normal[0] = n->x, v.normal[1] = n->y, v.normal[2] = n->z;
                    v.has |= HAS_NORMAL;
                }
                if (texture) {
                    const Point2fStruct* t = mData.texCoords ? VertexTexCoord(i, k) : nullptr;
                    Point2fStruct st = t ? *t : made.At(p);
                    if (t || !mData.texCoords) {
                        v.st[0] = st.x, v.st[1] = st.y;
                        v.has |= HAS_TEXTURE;
                    }
                }
                gluTessVertex(tess, v.xyz, &v);
            }
            gluTessEndContour(tess);
            if (!contours) {
                gluTessEndPolygon(tess);
                run.vertices.clear();
            }
        }
        if (contours)
            gluTessEndPolygon(tess);
    } catch (const std::bad_alloc&) {
        // Out of memory for the vertex records: what was drawn stays drawn.
    }
    gluDeleteTess(tess);
}

} // namespace lumo::faces
