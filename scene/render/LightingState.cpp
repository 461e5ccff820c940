#include "scene/render/LightingState.h"

#include <GL/gl.h>

#include <cstring>

void CVLightingState::Capture()
{
    for (int i = 0; i < kLights; ++i) {
        GLenum id = GLenum(GL_LIGHT0 + i);
        mOn[i] = glIsEnabled(id);
        Light& l = mLights[i];
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
}

void CVLightingState::Restore() const
{
    // Positions and spot directions were read in eye coordinates: they go
    // back with an identity model-view.
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int i = 0; i < kLights; ++i) {
        GLenum id = GLenum(GL_LIGHT0 + i);
        const Light& l = mLights[i];
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
        mOn[i] ? glEnable(id) : glDisable(id);
    }
    glLoadMatrixf(modelView);
    glMatrixMode(GLenum(mode));
}

bool CVLightingState::operator==(const CVLightingState& other) const
{
    for (int i = 0; i < kLights; ++i) {
        if (mOn[i] != other.mOn[i])
            return false;
        // Lights that are off do not light anything: their settings may differ.
        if (mOn[i] && std::memcmp(&mLights[i], &other.mLights[i], sizeof(Light)) != 0)
            return false;
    }
    return true;
}
