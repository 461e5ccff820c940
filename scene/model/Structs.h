// Plain value structures shared by fields, nodes and the renderer.
#pragma once

struct Point2fStruct {
    float x, y;
};

struct Point3fStruct {
    float x, y, z;
};

struct Point3dStruct {
    double x, y, z;
};

struct TexCoord2fStruct {
    float s, t;
};

// Colour components run from 0 to 1.
struct RGBColorStruct {
    float red, green, blue;
};

struct RGBAColorStruct {
    float red, green, blue, alpha;
};

// Sixteen floats stored row by row (see CVMatrix).
struct MatrixStruct {
    float m[16];
};
