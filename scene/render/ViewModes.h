// What the mouse does in a view, and how the view is projected: shared by the
// controller, the render area's users and the control, which maps its mode
// and projection strings onto these values.
#pragma once

enum LumoMouseMode {
    LumoMouseSelect = 0,
    LumoMouseNavigateURL = 1,
    LumoMouseRotate = 2,
    LumoMouseZoom = 3,
    LumoMousePan = 4,
    LumoMouseZoomRect = 5,
    LumoMouseLight = 6,
    LumoMouseMoveObj = 7,
    LumoMouseCrossView = 8,
    LumoMouseWalker = 9,
    LumoMouseLineAnnotation = 10,
    LumoMouseTextAnnotation = 11,
};

enum LumoProjection {
    LumoProjectionNone = 0,
    LumoProjectionPerspective = 1,
    LumoProjectionOblique = 2,
    LumoProjectionOrthographic = 3,
    LumoProjectionLeft = 4,
    LumoProjectionRight = 5,
    LumoProjectionTop = 6,
    LumoProjectionBottom = 7,
};
