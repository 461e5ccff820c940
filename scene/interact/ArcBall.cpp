#include "scene/interact/ArcBall.h"

#include <GL/gl.h>

#include <cmath>

namespace {

float Dot(const CVVector& a, const CVVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

CVVector Cross(const CVVector& a, const CVVector& b)
{
    return CVVector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

CVVector Scaled(const CVVector& v, float s) { return CVVector(v.x * s, v.y * s, v.z * s); }

CVVector Unit(const CVVector& v)
{
    float len = std::sqrt(Dot(v, v));
    return len > 0.0f ? Scaled(v, 1.0f / len) : CVVector(0.0f, 0.0f, 0.0f);
}

// v turned by the unit quaternion q.
CVVector Turn(const CVQuaternion& q, const CVVector& v)
{
    CVQuaternion c = q;
    c.Conjugate();
    CVQuaternion r = q * CVQuaternion(v.x, v.y, v.z, 0.0f) * c;
    return CVVector(r.x, r.y, r.z);
}

void Colour(int r, int g, int b) { glColor3f(float(r) / 255.0f, float(g) / 255.0f, float(b) / 255.0f); }

} // namespace

void CVArcBall::Init(const CVQuaternion* q)
{
    mDown = mNow = q ? *q : CVQuaternion::MultIdentity();
    mDrag = CVQuaternion::MultIdentity();
    mDragging = false;
    mAxis = -1;
}

bool CVArcBall::Place(const CVVector& center, float radius)
{
    if (!std::isfinite(radius) || !(radius > 0.0f) || !std::isfinite(center.x) || !std::isfinite(center.y) ||
        !std::isfinite(center.z))
        return false;
    mCenter = center;
    mRadius = radius;
    return true;
}

void CVArcBall::SetMouse(float x, float y)
{
    if (std::isfinite(x) && std::isfinite(y)) {
        mMouseX = x;
        mMouseY = y;
    }
}

void CVArcBall::BeginDrag()
{
    mDragging = true;
    mDown = mNow;
    mFrom = MouseOnSphere(mMouseX, mMouseY, mCenter, mRadius);
    mTo = mFrom;
    mAxis = -1;
}

void CVArcBall::EndDrag()
{
    mDragging = false;
    mDown = mNow;
}

bool CVArcBall::SetConstraintSet(int set)
{
    if (set < NoAxes || set > VerticalAxis)
        return false;
    mSet = set;
    return true;
}

int CVArcBall::GetConstraintAxes(CVVector axes[3]) const
{
    switch (mSet) {
    case CameraAxes:
        axes[0] = CVVector(1, 0, 0);
        axes[1] = CVVector(0, 1, 0);
        axes[2] = CVVector(0, 0, 1);
        return 3;
    case BodyAxes:
        axes[0] = Turn(mDown, CVVector(1, 0, 0));
        axes[1] = Turn(mDown, CVVector(0, 1, 0));
        axes[2] = Turn(mDown, CVVector(0, 0, 1));
        return 3;
    case VerticalAxis:
        axes[0] = CVVector(0, 1, 0);
        return 1;
    default:
        return 0;
    }
}

void CVArcBall::Update()
{
    CVVector from = mFrom;
    CVVector to = MouseOnSphere(mMouseX, mMouseY, mCenter, mRadius);
    CVVector axes[3];
    int count = GetConstraintAxes(axes);
    if (count > 0) {
        if (mAxis < 0 || mAxis >= count)
            mAxis = NearestConstraintAxis(to, axes, count);
        from = ConstrainToAxis(from, axes[mAxis]);
        to = ConstrainToAxis(to, axes[mAxis]);
    }
    mTo = to;
    mDrag = Qt_FromBallPoints(from, to);
    mNow = mDrag * mDown;
}

CVVector CVArcBall::MouseOnSphere(float x, float y, const CVVector& center, float radius)
{
    if (!(radius > 0.0f) || !std::isfinite(radius))
        return CVVector(0.0f, 0.0f, 1.0f);
    float bx = (x - center.x) / radius, by = (y - center.y) / radius;
    float mag = bx * bx + by * by;
    if (!std::isfinite(mag))
        return CVVector(0.0f, 0.0f, 1.0f);
    if (mag > 1.0f) {
        float s = 1.0f / std::sqrt(mag);
        return CVVector(bx * s, by * s, 0.0f);
    }
    return CVVector(bx, by, std::sqrt(1.0f - mag));
}

CVQuaternion CVArcBall::Qt_FromBallPoints(const CVVector& from, const CVVector& to)
{
    CVVector c = Cross(from, to);
    return CVQuaternion(c.x, c.y, c.z, Dot(from, to));
}

CVVector CVArcBall::ConstrainToAxis(const CVVector& point, const CVVector& axis)
{
    CVVector onPlane(point.x - axis.x * Dot(axis, point), point.y - axis.y * Dot(axis, point),
                     point.z - axis.z * Dot(axis, point));
    float norm = Dot(onPlane, onPlane);
    if (norm > 0.0f) {
        if (onPlane.z < 0.0f)
            onPlane = Scaled(onPlane, -1.0f);
        return Scaled(onPlane, 1.0f / std::sqrt(norm));
    }
    // The point is the axis itself: any point of the circle will do.
    if (axis.z == 1.0f)
        return CVVector(1.0f, 0.0f, 0.0f);
    return Unit(CVVector(-axis.y, axis.x, 0.0f));
}

int CVArcBall::NearestConstraintAxis(const CVVector& point, const CVVector* axes, int count)
{
    int nearest = 0;
    float best = -1.0f;
    for (int i = 0; i < count; ++i) {
        CVVector onPlane = ConstrainToAxis(point, axes[i]);
        float d = Dot(onPlane, point);
        if (d > best) {
            best = d;
            nearest = i;
        }
    }
    return nearest;
}

void CVArcBall::Circle() const
{
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i <= 50; ++i) {
        float a = float(i) * 0.12566371f;
        glVertex3f(mCenter.x + mRadius * std::cos(a), mCenter.y + mRadius * std::sin(a), mCenter.z);
    }
    glEnd();
}

void CVArcBall::DrawAnyArc(const CVVector& from, const CVVector& to) const
{
    // Bisect the arc four times: 17 points along it.
    CVVector pts[17];
    pts[0] = from;
    pts[16] = to;
    for (int step = 8; step >= 1; step /= 2)
        for (int i = step; i < 16; i += 2 * step) {
            CVVector sum(pts[i - step].x + pts[i + step].x, pts[i - step].y + pts[i + step].y,
                         pts[i - step].z + pts[i + step].z);
            CVVector mid = Unit(sum);
            pts[i] = Dot(mid, mid) > 0.0f ? mid : pts[i - step];
        }
    glBegin(GL_LINE_STRIP);
    for (const CVVector& p : pts)
        glVertex3f(mCenter.x + mRadius * p.x, mCenter.y + mRadius * p.y, mCenter.z + mRadius * p.z);
    glEnd();
}

void CVArcBall::DrawHalfArc(const CVVector& normal) const
{
    CVVector p = normal.z == 1.0f ? CVVector(1.0f, 0.0f, 0.0f) : Unit(CVVector(-normal.y, normal.x, 0.0f));
    CVVector m = Cross(normal, p);
    CVVector back = Scaled(p, -1.0f);
    DrawAnyArc(p, m);
    DrawAnyArc(m, back);
}

void CVArcBall::DrawDragArc() const
{
    if (!mDragging)
        return;
    Colour(127, 255, 255);
    DrawAnyArc(mFrom, mTo);
}

void CVArcBall::DrawResultArc() const
{
    if (!mShowResult)
        return;
    Colour(195, 31, 31);
    // The result as an arc from its rotation's half-way point.
    CVVector axis(mNow.x, mNow.y, mNow.z);
    float s = std::sqrt(Dot(axis, axis));
    if (!(s > 0.0f))
        return;
    CVVector from = ConstrainToAxis(CVVector(0.0f, 0.0f, 1.0f), Scaled(axis, 1.0f / s));
    DrawAnyArc(from, Turn(mNow, from));
}

void CVArcBall::DrawConstraints() const
{
    CVVector axes[3];
    int count = GetConstraintAxes(axes);
    for (int i = 0; i < count; ++i) {
        bool active = mDragging && i == mAxis;
        if (mDragging && !active)
            continue; // only the axis in use while dragging
        if (active)
            Colour(255, 255, 63);
        else
            Colour(195, 127, 31);
        if (axes[i].z == 1.0f)
            Circle();
        else
            DrawHalfArc(axes[i]);
    }
}

void CVArcBall::Draw() const
{
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.8f, 0.8f, 0.8f);
    Circle();
    DrawResultArc();
    DrawConstraints();
    DrawDragArc();
    glPopAttrib();
}
