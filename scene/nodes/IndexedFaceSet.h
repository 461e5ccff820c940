// Polygons from a shared coordinate list: convex faces drawn directly,
// others through the polygon tessellator, with normals, colours and texture
// coordinates bound per face or per vertex (by their own index lists or by
// coordIndex). The faces are compiled into a display list on the first draw
// and again after every change; picking draws each face directly under its
// face number.
//
// Bounds: see CVIndexedSet; in addition every normal, colour and texture
// coordinate index is checked against its list (see FacePainter.h for what
// happens to one that is out of range).
#pragma once

#include "scene/nodes/GeometryList.h"
#include "scene/nodes/IndexDetail.h"
#include "scene/nodes/IndexedSet.h"
#include "scene/nodes/Normal.h"
#include "scene/nodes/TextureCoordinate.h"

#include <string>
#include <vector>

namespace lumo::faces {
struct FaceSetData;
}

class CVIndexedFaceSet : public CVIndexedSet {
    LUMO_DECLARE_NODE(CVIndexedFaceSet)

public:
    CVIndexedFaceSet();

    CVSFNode<CVNormal> normal{this};
    CVSFNode<CVTextureCoordinate> texCoord{this};
    CVSFBool ccw;
    CVSFBool convex;
    // Faces meeting at no more than this angle (radians) share smoothed
    // normals where the set makes its own normals; 0 gives every face its
    // own flat normal.
    CVSFFloat creaseAngle;
    CVMFInt32 normalIndex;
    CVSFBool normalPerVertex;
    CVSFBool solid;
    CVMFInt32 texCoordIndex;

    // Set by program code, not part of documents. The axis ("X", "Y",
    // anything else: z) of the one normal of flat charts' faces: with it, a
    // convex set without normals, colours or texture coordinates is drawn
    // from a vertex array without a display list.
    std::wstring normalAxis;
    // With convex FALSE: all faces are contours of one polygon, so that later
    // faces cut holes into earlier ones.
    CVSFBool contourFaces;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // A CVIndexedFaceSetDetail for face number 'name'.
    CVDetail* GetPickDetail(unsigned int name) override;
    // As GetColorIndex, for normals (normalPerVertex, normalIndex).
    void GetNormalIndex(int part, int& index, int& count, int& flag) const;

protected:
    void CollectInputs(Inputs& inputs) const override;
    // The fast path of flat charts (see normalAxis).
    void RenderConvex(CVState* state, CVGLRenderArea* area, CVAppearance* appearance);

private:
    lumo::faces::FaceSetData Data() const;
    int Bindings(bool texturing) const;
    // Draws the faces once, as the display list records them.
    void DrawFaces(const lumo::faces::FaceSetData& data, int bindings);
    void Pick(const lumo::faces::FaceSetData& data);

    CVGeometryList mList;
    // Whether texturing was on when the list was made.
    bool mTexturing = false;
    // The fast path's triangles (fans cut up), made when the set changes.
    std::vector<unsigned> mFanIndices;
};

class CVIndexedFaceSetDetail : public CVIndexDetail {
    LUMO_DECLARE_CLASS(CVIndexedFaceSetDetail)

public:
    CVIndexedFaceSetDetail(int index, CVIndexedFaceSet* geometry) : CVIndexDetail(index), mGeometry(geometry) {}
    // Not referenced: valid while the scene is unchanged.
    CVIndexedFaceSet* GetGeometry() const { return mGeometry; }
    // One point per index of the face: its position in coordIndex.
    void ComputeDetails() override;

private:
    CVIndexedFaceSet* mGeometry;
};
