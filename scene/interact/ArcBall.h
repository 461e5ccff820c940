// An arc-ball rotation tool: mouse points on a ball's silhouette become
// points on a sphere, and a drag between two of them the rotation that takes
// one to the other (twice the arc between them), optionally held to the
// nearest axis of a constraint set. It can draw its ball, the drag arc, the
// result arc and the constraint arcs with OpenGL.
//
// Points are in the ball's own units: (x, y) with the ball centred at
// Place's centre and its silhouette of radius `radius`.
#pragma once

#include "scene/model/Quaternion.h"
#include "scene/model/Vector.h"

class CVArcBall {
public:
    // Constraint sets: the view's axes (x, y, z), the axes of the rotation
    // reached so far, and the view's vertical axis alone.
    enum ConstraintSet { NoAxes = -1, CameraAxes = 0, BodyAxes = 1, VerticalAxis = 2 };

    CVArcBall() { Init(nullptr); }

    // Resets the rotation to q, or to the identity.
    void Init(const CVQuaternion* q);
    // A radius that is not positive and finite is refused (false).
    bool Place(const CVVector& center, float radius);
    void SetMouse(float x, float y);
    void BeginDrag();
    void EndDrag();
    bool IsDragging() const { return mDragging; }
    // Forms the drag rotation from the drag's start point and the mouse,
    // composed after the rotation at drag start.
    void Update();
    CVQuaternion GetRotation() const { return mNow; }

    bool SetConstraintSet(int set);
    int GetConstraintSet() const { return mSet; }
    void SetShowResult(bool on) { mShowResult = on; }

    // The point on the unit sphere under a mouse point: outside the
    // silhouette it is pulled onto the rim; inside, z = sqrt(1 - r^2).
    static CVVector MouseOnSphere(float x, float y, const CVVector& center, float radius);
    // The rotation taking unit vector `from` to `to` (about their normal,
    // twice their angle).
    static CVQuaternion Qt_FromBallPoints(const CVVector& from, const CVVector& to);
    // The point projected onto the great circle about the axis.
    static CVVector ConstrainToAxis(const CVVector& point, const CVVector& axis);
    // The index of the axis whose great circle passes nearest the point.
    static int NearestConstraintAxis(const CVVector& point, const CVVector* axes, int count);

    // The axes of the current set (up to 3); their count.
    int GetConstraintAxes(CVVector axes[3]) const;

    // Drawing in the current OpenGL context, in ball units.
    void Circle() const;
    void DrawAnyArc(const CVVector& from, const CVVector& to) const;
    void DrawHalfArc(const CVVector& normal) const;
    void DrawDragArc() const;
    void DrawResultArc() const;
    void DrawConstraints() const;
    void Draw() const;

private:
    CVVector mCenter{0.0f, 0.0f, 0.0f};
    float mRadius = 1.0f;
    float mMouseX = 0.0f, mMouseY = 0.0f;
    CVVector mFrom{0.0f, 0.0f, 1.0f}, mTo{0.0f, 0.0f, 1.0f};
    CVQuaternion mDown, mNow, mDrag;
    bool mDragging = false;
    bool mShowResult = false;
    int mSet = NoAxes;
    int mAxis = -1; // the constraint axis in use during a drag
};
