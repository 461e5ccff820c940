// Turns a pan or drag offset given in screen directions into a world offset
// for a scene turned by the controller's two view angles, so that what is
// dragged follows the mouse.
#pragma once

#include "scene/model/Structs.h"

namespace lumo {

// The quarter turn an angle in degrees lies in: 0 for [315, 360) and
// [0, 45), 1 for [45, 135), 2 for [135, 225), 3 for [225, 315). The angle is
// truncated to whole degrees and reduced to [0, 360) first. -1 for an angle
// that is not finite.
int QuarterTurn(float degrees);

// The world offset of a horizontal screen offset h and a vertical one v under
// the view angles rotX (turn about the vertical axis) and rotY (about the
// horizontal axis):
//   rotX quarter 0/1/2/3: x = +h / z = +h / x = -h / z = -h;
//   rotY quarter 0: y = -v; 2: y = +v;
//   rotY quarter 1, by rotX quarter 0/1/2/3: z = +v / x = -v / z = -v / x = +v;
//   rotY quarter 3, by rotX quarter 0/1/2/3: z = -v / x = +v / z = +v / x = -v.
// Components that receive nothing are 0; all are 0 when an angle or an
// offset is not finite.
Point3fStruct CalcOffsetForRotation(float rotX, float rotY, float h, float v);

} // namespace lumo
