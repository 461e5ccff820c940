#include "scene/nodes/IndexedFaceSet.h"

#include "scene/core/State.h"
#include "scene/nodes/CreaseNormals.h"
#include "scene/nodes/FacePainter.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <new>
#include <utility>

LUMO_IMPLEMENT_NODE(CVIndexedFaceSet, CVIndexedSet)
LUMO_IMPLEMENT_CLASS(CVIndexedFaceSetDetail, CVIndexDetail)

using lumo::faces::FacePainter;
using lumo::faces::FaceSetData;

CVIndexedFaceSet::CVIndexedFaceSet()
{
    ccw.SetValue(1);
    convex.SetValue(1);
    normalPerVertex.SetValue(1);
    solid.SetValue(1);
}

void CVIndexedFaceSet::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVIndexedFaceSet>(L"IndexedFaceSet")
        .Field(L"color", &CVIndexedFaceSet::color)
        .Field(L"coord", &CVIndexedFaceSet::coord)
        .Field(L"normal", &CVIndexedFaceSet::normal)
        .Field(L"texCoord", &CVIndexedFaceSet::texCoord)
        .Field(L"ccw", &CVIndexedFaceSet::ccw)
        .Field(L"colorIndex", &CVIndexedFaceSet::colorIndex)
        .Field(L"colorPerVertex", &CVIndexedFaceSet::colorPerVertex)
        .Field(L"convex", &CVIndexedFaceSet::convex)
        .Field(L"coordIndex", &CVIndexedFaceSet::coordIndex)
        .Field(L"creaseAngle", &CVIndexedFaceSet::creaseAngle)
        .Field(L"normalIndex", &CVIndexedFaceSet::normalIndex)
        .Field(L"normalPerVertex", &CVIndexedFaceSet::normalPerVertex)
        .Field(L"solid", &CVIndexedFaceSet::solid)
        .Field(L"texCoordIndex", &CVIndexedFaceSet::texCoordIndex);
}

CVDetail* CVIndexedFaceSet::GetPickDetail(unsigned int name) { return new CVIndexedFaceSetDetail(int(name), this); }

void CVIndexedFaceSetDetail::ComputeDetails()
{
    if (!mGeometry)
        return;
    int start = 0, count = 0;
    mGeometry->GetCoordinateIndex(GetIndex(), start, count);
    std::vector<CVPointInfo> points;
    points.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        points.emplace_back(start + i);
    SetPoints(std::move(points));
}

void CVIndexedFaceSet::GetNormalIndex(int part, int& index, int& count, int& flag) const
{
    if (normalPerVertex.GetValue()) {
        GetCoordinateIndex(part, index, count);
    } else {
        index = part;
        count = 1;
    }
    flag = normalIndex.GetNum() == 0 ? 1 : 0;
}

void CVIndexedFaceSet::CollectInputs(Inputs& inputs) const
{
    CVIndexedSet::CollectInputs(inputs);
    const CVNormal* n = normal.GetValue();
    const CVTextureCoordinate* t = texCoord.GetValue();
    inputs.Add(n);
    inputs.Add(n ? n->vector.GetValues() : nullptr);
    inputs.Add(std::uintptr_t(n ? n->vector.GetNum() : 0));
    inputs.Add(t);
    inputs.Add(t ? t->point.GetValues() : nullptr);
    inputs.Add(std::uintptr_t(t ? t->point.GetNum() : 0));
    inputs.Add(normalIndex.GetValues());
    inputs.Add(std::uintptr_t(normalIndex.GetNum()));
    inputs.Add(texCoordIndex.GetValues());
    inputs.Add(std::uintptr_t(texCoordIndex.GetNum()));
    float crease = creaseAngle.GetValue();
    std::uint32_t creaseBits;
    static_assert(sizeof crease == sizeof creaseBits);
    std::memcpy(&creaseBits, &crease, sizeof crease);
    inputs.Add(std::uintptr_t(creaseBits));
    inputs.Add(std::uintptr_t(ccw.GetValue() | convex.GetValue() << 1 | normalPerVertex.GetValue() << 2 |
                              contourFaces.GetValue() << 3));
    inputs.Add(std::uintptr_t(std::hash<std::wstring>()(normalAxis)));
}

FaceSetData CVIndexedFaceSet::Data() const
{
    FaceSetData d;
    if (const CVCoordinate* c = coord.GetValue()) {
        d.points = c->point.GetValues();
        d.numPoints = c->point.GetNum();
    }
    d.coordIndex = coordIndex.GetValues();
    d.numCoordIndex = coordIndex.GetNum();
    if (const CVNormal* n = normal.GetValue()) {
        d.normals = n->vector.GetValues();
        d.numNormals = n->vector.GetNum();
    }
    d.normalIndex = normalIndex.GetValues();
    d.numNormalIndex = normalIndex.GetNum();
    if (const CVColor* c = color.GetValue()) {
        d.colors = c->color.GetValues();
        d.numColors = c->color.GetNum();
    }
    d.colorIndex = colorIndex.GetValues();
    d.numColorIndex = colorIndex.GetNum();
    if (const CVTextureCoordinate* t = texCoord.GetValue()) {
        d.texCoords = t->point.GetValues();
        d.numTexCoords = t->point.GetNum();
    }
    d.texCoordIndex = texCoordIndex.GetValues();
    d.numTexCoordIndex = texCoordIndex.GetNum();
    d.ccw = ccw.GetValue() != 0;
    return d;
}

int CVIndexedFaceSet::Bindings(bool texturing) const
{
    int b = 0;
    if (normal.GetValue())
        b |= normalPerVertex.GetValue() ? lumo::faces::PER_VERTEX_NORMALS : lumo::faces::PER_FACE_NORMALS;
    if (color.GetValue())
        b |= colorPerVertex.GetValue() ? lumo::faces::PER_VERTEX_COLORS : lumo::faces::PER_FACE_COLORS;
    if (texturing)
        b |= lumo::faces::TEXTURE_COORDINATES;
    return b;
}

void CVIndexedFaceSet::DrawFaces(const FaceSetData& data, int bindings)
{
    FacePainter painter(data, bindings);
    if (!convex.GetValue()) {
        if (!normal.GetValue()) {
            // One normal for the whole set, along the chart's axis. It points
            // away from the side that ccw makes the front; documents that
            // need their tessellated faces lit from the front give normals.
            float n = ccw.GetValue() ? -1.0f : 1.0f;
            if (normalAxis == L"X")
                glNormal3f(n, 0.0f, 0.0f);
            else if (normalAxis == L"Y")
                glNormal3f(0.0f, n, 0.0f);
            else
                glNormal3f(0.0f, 0.0f, n);
        }
        painter.DrawTessellated(contourFaces.GetValue() != 0);
        return;
    }
    std::vector<Point3fStruct> corners;
    bool smooth = false;
    if (!normal.GetValue() && creaseAngle.GetValue() > 0.0f) {
        try {
            corners = lumo::faces::CreaseNormals(data, creaseAngle.GetValue());
            smooth = true;
        } catch (const std::bad_alloc&) {
            // No memory for smoothing: flat faces.
        }
    }
    painter.DrawConvex(smooth ? &corners : nullptr);
}

void CVIndexedFaceSet::Pick(const FaceSetData& data)
{
    FacePainter painter(data, 0);
    if (convex.GetValue())
        painter.PickConvex();
    else
        painter.PickTessellated(contourFaces.GetValue() != 0);
}

void CVIndexedFaceSet::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    const bool pick = state && state->m_bPickMode;
    if (convex.GetValue() && !normal.GetValue() && !color.GetValue() && !texCoord.GetValue() &&
        !normalAxis.empty() && !pick) {
        RenderConvex(state, area, appearance);
        return;
    }
    PreRenderGL(state, area, appearance);
    GLint frontFace = GL_CCW;
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    if (!solid.GetValue())
        glDisable(GL_CULL_FACE);
    if (!ccw.GetValue())
        glFrontFace(GL_CW);
    try {
        const FaceSetData data = Data();
        if (pick) {
            Pick(data);
        } else if (state && state->m_nRenderPass == PASS_SHADOW && color.GetValue()) {
            // The shadow has the shadow's colour, not the faces': drawn directly.
            DrawFaces(data, Bindings(false) & ~(lumo::faces::PER_VERTEX_COLORS | lumo::faces::PER_FACE_COLORS));
        } else {
            if (!state || state->m_nRenderPass != PASS_SHADOW) {
                // Texture coordinates go into the list only while texturing is on.
                const bool texturing = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
                if (texturing != mTexturing) {
                    mTexturing = texturing;
                    SetModifiedFlag(1);
                }
            }
            CheckInputs();
            if (!IsModified() && mList.IsReady()) {
                mList.Call();
            } else {
                // Ends the list however the drawing ends; a list cut short
                // by a failure is made again next time.
                struct Compile {
                    CVGeometryList& list;
                    bool on;
                    ~Compile()
                    {
                        if (on)
                            list.End();
                    }
                } compile{mList, mList.Begin(true)};
                DrawFaces(data, Bindings(mTexturing));
                if (compile.on)
                    SetModifiedFlag(0);
            }
        }
    } catch (...) {
        SetModifiedFlag(1); // out of memory: nothing leaves a draw
    }
    glFrontFace(GLenum(frontFace));
    PostRenderGL(state, area, appearance);
}

void CVIndexedFaceSet::RenderConvex(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    CheckInputs();
    if (IsModified()) {
        // The triangles of every face with three usable points, as fans.
        mFanIndices.clear();
        const FaceSetData d = Data();
        std::vector<int> face;
        CVIndexedParts parts(d.coordIndex, d.numCoordIndex);
        int f, start, end;
        try {
            while (parts.Next(f, start, end)) {
                face.clear();
                for (int i = start; i < end; ++i) {
                    const int k = d.coordIndex[i];
                    if (k >= 0 && k < d.numPoints && std::isfinite(d.points[k].x) && std::isfinite(d.points[k].y) &&
                        std::isfinite(d.points[k].z))
                        face.push_back(k);
                }
                for (size_t t = 1; t + 1 < face.size(); ++t)
                    mFanIndices.insert(mFanIndices.end(),
                                       {unsigned(face[0]), unsigned(face[t]), unsigned(face[t + 1])});
            }
        } catch (const std::bad_alloc&) {
            mFanIndices.clear();
        }
        mList.Release(); // made from the old faces
        SetModifiedFlag(0);
    }
    PreRenderGL(state, area, appearance);
    GLint frontFace = GL_CCW;
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    if (!solid.GetValue())
        glDisable(GL_CULL_FACE);
    if (!ccw.GetValue())
        glFrontFace(GL_CW);
    const float n = ccw.GetValue() ? 1.0f : -1.0f;
    if (normalAxis == L"X")
        glNormal3f(n, 0.0f, 0.0f);
    else if (normalAxis == L"Y")
        glNormal3f(0.0f, n, 0.0f);
    else
        glNormal3f(0.0f, 0.0f, n);
    if (!mFanIndices.empty()) {
        glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_EDGE_FLAG_ARRAY);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, coord.GetValue()->point.GetValues());
        glDrawElements(GL_TRIANGLES, GLsizei(mFanIndices.size()), GL_UNSIGNED_INT, mFanIndices.data());
        glPopClientAttrib();
    }
    glFrontFace(GLenum(frontFace));
    PostRenderGL(state, area, appearance);
}
