#include "scene/interact/ViewOffset.h"

#include <cmath>

namespace lumo {

int QuarterTurn(float degrees)
{
    if (!std::isfinite(degrees))
        return -1;
    // fmod of the truncated value keeps huge angles out of an int conversion.
    double t = std::fmod(std::trunc(double(degrees)), 360.0);
    if (t < 0.0)
        t += 360.0;
    if (t >= 315.0 || t < 45.0)
        return 0;
    if (t < 135.0)
        return 1;
    if (t < 225.0)
        return 2;
    return 3;
}

Point3fStruct CalcOffsetForRotation(float rotX, float rotY, float h, float v)
{
    Point3fStruct out{0.0f, 0.0f, 0.0f};
    int qx = QuarterTurn(rotX), qy = QuarterTurn(rotY);
    if (qx < 0 || qy < 0 || !std::isfinite(h) || !std::isfinite(v))
        return out;

    switch (qx) {
    case 0: out.x += h; break;
    case 1: out.z += h; break;
    case 2: out.x -= h; break;
    default: out.z -= h; break;
    }

    if (qy == 0) {
        out.y -= v;
    } else if (qy == 2) {
        out.y += v;
    } else {
        // The scene is tipped on its back or front: the vertical offset goes
        // along whichever horizontal world axis now runs up the screen.
        float s = qy == 1 ? 1.0f : -1.0f;
        switch (qx) {
        case 0: out.z += s * v; break;
        case 1: out.x -= s * v; break;
        case 2: out.z -= s * v; break;
        default: out.x += s * v; break;
        }
    }
    return out;
}

} // namespace lumo
