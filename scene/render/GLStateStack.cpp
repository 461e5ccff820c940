#include "scene/render/GLStateStack.h"

#include "scene/render/LightingState.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

// The switches GL_ENABLE_BIT saves (those a fixed-function scene can set);
// lights and clip planes are handled by count.
const GLenum kEnables[] = {
    GL_ALPHA_TEST,       GL_AUTO_NORMAL,         GL_BLEND,           GL_COLOR_MATERIAL,     GL_CULL_FACE,
    GL_DEPTH_TEST,       GL_DITHER,              GL_FOG,             GL_LIGHTING,           GL_LINE_SMOOTH,
    GL_LINE_STIPPLE,     GL_COLOR_LOGIC_OP,      GL_NORMALIZE,       GL_POINT_SMOOTH,       GL_POLYGON_OFFSET_LINE,
    GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_POINT, GL_POLYGON_SMOOTH, GL_POLYGON_STIPPLE, GL_SCISSOR_TEST,
    GL_STENCIL_TEST,     GL_TEXTURE_1D,          GL_TEXTURE_2D,      GL_TEXTURE_GEN_S,      GL_TEXTURE_GEN_T,
    GL_TEXTURE_GEN_R,    GL_TEXTURE_GEN_Q,
};
constexpr int kEnableCount = int(sizeof(kEnables) / sizeof(kEnables[0]));
constexpr int kMaxClipPlanes = 6;

struct Material {
    GLfloat ambient[4], diffuse[4], specular[4], emission[4], shininess;
};

int Limit(GLenum query)
{
    GLint value = 0;
    glGetIntegerv(query, &value);
    return value;
}

bool DriverHasRoom(GLenum depthQuery, GLenum maxQuery)
{
    return Limit(depthQuery) < Limit(maxQuery) - CVGLStateStack::kReserve;
}

void SetEnabled(GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); }

} // namespace

struct CVGLStateStack::Snapshot {
    bool enables[kEnableCount];
    bool clipPlanesOn[kMaxClipPlanes];
    CVLightingState lights;
    Material materials[2]; // front, back
    GLint colorMaterialFace, colorMaterialParameter, shadeModel;
    GLfloat modelAmbient[4];
    GLint localViewer, twoSide;
    GLint cullFaceMode, frontFace, polygonMode[2];
    GLfloat offsetFactor, offsetUnits;

    void Capture()
    {
        for (int i = 0; i < kEnableCount; ++i)
            enables[i] = glIsEnabled(kEnables[i]);
        for (int i = 0; i < kMaxClipPlanes; ++i)
            clipPlanesOn[i] = glIsEnabled(GLenum(GL_CLIP_PLANE0 + i));
        lights.Capture();
        const GLenum faces[2] = {GL_FRONT, GL_BACK};
        for (int f = 0; f < 2; ++f) {
            Material& m = materials[f];
            glGetMaterialfv(faces[f], GL_AMBIENT, m.ambient);
            glGetMaterialfv(faces[f], GL_DIFFUSE, m.diffuse);
            glGetMaterialfv(faces[f], GL_SPECULAR, m.specular);
            glGetMaterialfv(faces[f], GL_EMISSION, m.emission);
            glGetMaterialfv(faces[f], GL_SHININESS, &m.shininess);
        }
        glGetIntegerv(GL_COLOR_MATERIAL_FACE, &colorMaterialFace);
        glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &colorMaterialParameter);
        glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
        glGetFloatv(GL_LIGHT_MODEL_AMBIENT, modelAmbient);
        glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &localViewer);
        glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
        glGetIntegerv(GL_CULL_FACE_MODE, &cullFaceMode);
        glGetIntegerv(GL_FRONT_FACE, &frontFace);
        glGetIntegerv(GL_POLYGON_MODE, polygonMode);
        glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &offsetFactor);
        glGetFloatv(GL_POLYGON_OFFSET_UNITS, &offsetUnits);
    }

    void Restore() const
    {
        lights.Restore();
        // Materials before the colour-material switch, which would otherwise
        // overwrite them from the current colour.
        glDisable(GL_COLOR_MATERIAL);
        const GLenum faces[2] = {GL_FRONT, GL_BACK};
        for (int f = 0; f < 2; ++f) {
            const Material& m = materials[f];
            glMaterialfv(faces[f], GL_AMBIENT, m.ambient);
            glMaterialfv(faces[f], GL_DIFFUSE, m.diffuse);
            glMaterialfv(faces[f], GL_SPECULAR, m.specular);
            glMaterialfv(faces[f], GL_EMISSION, m.emission);
            glMaterialf(faces[f], GL_SHININESS, m.shininess);
        }
        glColorMaterial(GLenum(colorMaterialFace), GLenum(colorMaterialParameter));
        for (int i = 0; i < kEnableCount; ++i)
            SetEnabled(kEnables[i], enables[i]);
        for (int i = 0; i < kMaxClipPlanes; ++i)
            SetEnabled(GLenum(GL_CLIP_PLANE0 + i), clipPlanesOn[i]);
        glShadeModel(GLenum(shadeModel));
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, modelAmbient);
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, localViewer);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, twoSide);
        glCullFace(GLenum(cullFaceMode));
        glFrontFace(GLenum(frontFace));
        glPolygonMode(GL_FRONT, GLenum(polygonMode[0]));
        glPolygonMode(GL_BACK, GLenum(polygonMode[1]));
        glPolygonOffset(offsetFactor, offsetUnits);
    }
};

CVGLStateStack::CVGLStateStack() = default;
CVGLStateStack::~CVGLStateStack() = default;

void CVGLStateStack::PushAttributes()
{
    AttributeEntry entry;
    entry.inDriver = DriverHasRoom(GL_ATTRIB_STACK_DEPTH, GL_MAX_ATTRIB_STACK_DEPTH);
    if (entry.inDriver) {
        glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT);
    } else {
        entry.snapshot = mSnapshots.size();
        mSnapshots.emplace_back();
        mSnapshots.back().Capture();
    }
    mAttributes.push_back(entry);
}

void CVGLStateStack::PopAttributes()
{
    if (mAttributes.empty()) {
        glPopAttrib();
        return;
    }
    AttributeEntry entry = mAttributes.back();
    mAttributes.pop_back();
    if (entry.inDriver) {
        glPopAttrib();
        return;
    }
    mSnapshots[entry.snapshot].Restore();
    mSnapshots.resize(entry.snapshot);
}

void CVGLStateStack::PushMatrix(unsigned mode)
{
    const bool projection = mode == GL_PROJECTION;
    glMatrixMode(GLenum(mode));
    MatrixEntry entry;
    entry.inDriver = projection ? DriverHasRoom(GL_PROJECTION_STACK_DEPTH, GL_MAX_PROJECTION_STACK_DEPTH)
                                : DriverHasRoom(GL_MODELVIEW_STACK_DEPTH, GL_MAX_MODELVIEW_STACK_DEPTH);
    if (entry.inDriver)
        glPushMatrix();
    else
        glGetFloatv(projection ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, entry.matrix.data());
    (projection ? mProjection : mModelView).push_back(entry);
}

void CVGLStateStack::PopMatrix(unsigned mode)
{
    std::vector<MatrixEntry>& stack = mode == GL_PROJECTION ? mProjection : mModelView;
    glMatrixMode(GLenum(mode));
    if (stack.empty()) {
        glPopMatrix();
        return;
    }
    MatrixEntry entry = stack.back();
    stack.pop_back();
    if (entry.inDriver)
        glPopMatrix();
    else
        glLoadMatrixf(entry.matrix.data());
}

void CVGLStateStack::Clear()
{
    mAttributes.clear();
    mSnapshots.clear();
    mModelView.clear();
    mProjection.clear();
}

int CVGLStateStack::SavedHere() const
{
    return int(std::count_if(mAttributes.begin(), mAttributes.end(),
                             [](const AttributeEntry& e) { return !e.inDriver; }));
}
