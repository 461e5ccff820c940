#include "scene/render/GLStateStack.h"

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
constexpr int kMaxLights = 8;
constexpr int kMaxClipPlanes = 6;

struct Light {
    GLfloat ambient[4], diffuse[4], specular[4], position[4], spotDirection[3];
    GLfloat spotExponent, spotCutoff, constant, linear, quadratic;
};

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
    bool lightsOn[kMaxLights];
    bool clipPlanesOn[kMaxClipPlanes];
    Light lights[kMaxLights];
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
        for (int i = 0; i < kMaxLights; ++i) {
            GLenum id = GLenum(GL_LIGHT0 + i);
            lightsOn[i] = glIsEnabled(id);
            Light& l = lights[i];
            glGetLightfv(id, GL_AMBIENT, l.ambient);
            glGetLightfv(id, GL_DIFFUSE, l.diffuse);
            glGetLightfv(id, GL_SPECULAR, l.specular);
            glGetLightfv(id, GL_POSITION, l.position); // eye coordinates
            glGetLightfv(id, GL_SPOT_DIRECTION, l.spotDirection);
            glGetLightfv(id, GL_SPOT_EXPONENT, &l.spotExponent);
            glGetLightfv(id, GL_SPOT_CUTOFF, &l.spotCutoff);
            glGetLightfv(id, GL_CONSTANT_ATTENUATION, &l.constant);
            glGetLightfv(id, GL_LINEAR_ATTENUATION, &l.linear);
            glGetLightfv(id, GL_QUADRATIC_ATTENUATION, &l.quadratic);
        }
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
        // Light positions and spot directions were read in eye coordinates:
        // they go back with an identity model-view.
        GLint mode;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        GLfloat modelView[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        for (int i = 0; i < kMaxLights; ++i) {
            GLenum id = GLenum(GL_LIGHT0 + i);
            const Light& l = lights[i];
            glLightfv(id, GL_AMBIENT, l.ambient);
            glLightfv(id, GL_DIFFUSE, l.diffuse);
            glLightfv(id, GL_SPECULAR, l.specular);
            glLightfv(id, GL_POSITION, l.position);
            glLightfv(id, GL_SPOT_DIRECTION, l.spotDirection);
            glLightf(id, GL_SPOT_EXPONENT, l.spotExponent);
            glLightf(id, GL_SPOT_CUTOFF, l.spotCutoff);
            glLightf(id, GL_CONSTANT_ATTENUATION, l.constant);
            glLightf(id, GL_LINEAR_ATTENUATION, l.linear);
            glLightf(id, GL_QUADRATIC_ATTENUATION, l.quadratic);
            SetEnabled(id, lightsOn[i]);
        }
        glLoadMatrixf(modelView);
        glMatrixMode(GLenum(mode));
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
