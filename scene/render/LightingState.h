// The lights of an OpenGL context as a value: which of the first eight are
// on, with their colours, positions and spot and attenuation settings in eye
// coordinates. Deferred passes give each queued shape the lights it had in
// the main pass; deep state pushes save them past the driver's stack.
#pragma once

class CVLightingState {
public:
    static constexpr int kLights = 8;

    // Reads the current context's lights.
    void Capture();
    // Sets them again (positions as they were in eye coordinates), leaving
    // the matrices and matrix mode as they were.
    void Restore() const;
    bool operator==(const CVLightingState& other) const;
    bool operator!=(const CVLightingState& other) const { return !(*this == other); }
    bool IsOn(int light) const { return light >= 0 && light < kLights && mOn[light]; }

private:
    struct Light {
        float ambient[4], diffuse[4], specular[4], position[4], spotDirection[3];
        float spotExponent, spotCutoff, constant, linear, quadratic;
    };
    bool mOn[kLights] = {};
    Light mLights[kLights] = {};
};
