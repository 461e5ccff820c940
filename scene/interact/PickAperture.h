// The window rectangle a pick looks through: its centre (x, y) and its size,
// in pixels. A pick action stores it converted to OpenGL window coordinates.
#pragma once

struct CVPickAperture {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
};
