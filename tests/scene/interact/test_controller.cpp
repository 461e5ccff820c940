// The controller driven by scripted input: navigation steps and their
// factors, pan directions under every quarter turn, dragging with undo, the
// walker, view values as text, refusal of values that are not finite, and
// records that outlive their scene.
#include "platform/com/PropExchange.h"
#include "platform/win/InputCodes.h"
#include "scene/interact/Controller.h"
#include "scene/interact/ViewOffset.h"
#include "scene/nodes/Group.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kDeg = 0.017453292f;

class ScriptedHost : public CVControllerHost {
public:
    void Invalidate() override { ++invalidated; }
    bool SetTimer(unsigned id, unsigned interval) override
    {
        ++timerStarts;
        lastTimer = id;
        lastInterval = interval;
        running = true;
        return true;
    }
    void KillTimer(unsigned) override { running = false; }
    bool IsKeyDown(int vk) const override { return keys.count(vk) != 0; }

    std::set<int> keys;
    int invalidated = 0, timerStarts = 0;
    unsigned lastTimer = 99, lastInterval = 0;
    bool running = false;
};

// A top-level transform holding a group holding an object's transform.
struct Scene {
    Scene()
    {
        root->Ref();
        root->AddChild(group);
        group->AddChild(object);
        object->translation.SetValue(1.0f, 2.0f, 3.0f);
    }
    ~Scene() { root->Unref(); }
    CVNodePath PathToObject() const { return {root, group, object}; }

    CVTransform* root = new CVTransform;
    CVGroup* group = new CVGroup;
    CVTransform* object = new CVTransform;
};

struct ControllerTest : ::testing::Test {
    ControllerTest()
    {
        c.SetHost(&host);
        c.SetViewportSize(400, 300);
        c.SetTopLevelTransformNode(scene.root);
    }
    void Drag(POINT from, POINT to, unsigned flags = MK_LBUTTON)
    {
        c.OnLButtonDown(flags, from);
        c.OnMouseMove(flags, to);
        c.OnLButtonUp(flags & ~MK_LBUTTON, to);
    }
    // The top-level transform's rotation applied to v.
    CVVector Turned(const CVVector& v) const
    {
        const CVRotation& r = scene.root->rotation.GetValue();
        CVQuaternion q;
        float len = std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
        q.Set(CVVector(r.x / len, r.y / len, r.z / len), r.angle);
        CVQuaternion conj = q;
        conj.Conjugate();
        CVQuaternion out = q * CVQuaternion(v.x, v.y, v.z, 0.0f) * conj;
        return CVVector(out.x, out.y, out.z);
    }

    ScriptedHost host;
    Scene scene;
    CVController c;
};

// ---- rotation, zoom, light ---------------------------------------------

TEST_F(ControllerTest, HundredPixelDragInRotateModeTurnsBySixthAndEighthOfADegreePerPixel)
{
    c.SetMouseMode(LumoMouseRotate);
    Drag({200, 150}, {300, 150});
    EXPECT_FLOAT_EQ(c.GetRotation().x, 100.0f / 6.0f);
    EXPECT_FLOAT_EQ(c.GetRotation().y, 0.0f);
    // A turn about the vertical axis by that angle.
    const CVRotation& r = scene.root->rotation.GetValue();
    EXPECT_NEAR(r.y, 1.0f, 1e-6f);
    EXPECT_NEAR(r.angle, 100.0f / 6.0f * kDeg, 1e-6f);

    Drag({200, 150}, {200, 250});
    EXPECT_FLOAT_EQ(c.GetRotation().y, 100.0f / 8.0f);
    EXPECT_GT(host.invalidated, 0);
}

TEST_F(ControllerTest, RotationIsIgnoredInFixedViewsAndWithoutButton)
{
    c.SetMouseMode(LumoMouseRotate);
    for (int p : {LumoProjectionOblique, LumoProjectionOrthographic, LumoProjectionLeft, LumoProjectionBottom}) {
        c.SetProjection(p);
        Drag({200, 150}, {300, 200});
        EXPECT_EQ(c.GetRotation().x, 0.0f) << p;
    }
    c.SetProjection(LumoProjectionPerspective);
    c.OnMouseMove(0, {0, 0});
    c.OnMouseMove(0, {100, 100}); // no button held
    EXPECT_EQ(c.GetRotation().x, 0.0f);
}

TEST_F(ControllerTest, HotKeysOverrideTheMode)
{
    c.SetMouseMode(LumoMouseSelect);
    host.keys = {'R'};
    Drag({200, 150}, {260, 150});
    EXPECT_FLOAT_EQ(c.GetRotation().x, 10.0f);
    EXPECT_TRUE(c.IsAnyHotKeyPressed());
    host.keys = {VK_MENU};
    EXPECT_TRUE(c.IsSelectHotKeyPressed());
}

TEST_F(ControllerTest, WheelNotchesScaleUpByATenthAndDownBy24Over256)
{
    c.OnMouseWheel(0, WHEEL_DELTA, {0, 0});
    EXPECT_FLOAT_EQ(c.GetScale(), 1.1f);
    EXPECT_FLOAT_EQ(scene.root->scale.GetValue().x, 1.1f);
    c.SetScale(1.0f);
    c.OnMouseWheel(0, -WHEEL_DELTA, {0, 0});
    EXPECT_FLOAT_EQ(c.GetScale(), 1.0f - 24.0f / 256.0f);
    // A large turn shrinks by at most 180/256 a step, never below 0.01.
    c.SetScale(1.0f);
    c.OnMouseWheel(0, -1200, {0, 0});
    EXPECT_FLOAT_EQ(c.GetScale(), 1.0f - 180.0f / 256.0f);
    for (int i = 0; i < 50; ++i)
        c.OnMouseWheel(0, -1200, {0, 0});
    EXPECT_FLOAT_EQ(c.GetScale(), CVController::kMinScale);
}

TEST_F(ControllerTest, ZoomModeScalesByVerticalMoves)
{
    c.SetMouseMode(LumoMouseZoom);
    Drag({200, 150}, {200, 126}); // up 24 pixels: dy = 24
    EXPECT_FLOAT_EQ(c.GetScale(), 1.1f);
}

TEST_F(ControllerTest, LightMovesByThreeWindowsPerWindowAndStopsAtTwo)
{
    CVDirectionalLight* light = new CVDirectionalLight;
    light->Ref();
    light->direction.SetValue(0.0f, 0.0f, -1.0f);
    c.SetDirectLightNode(light);
    c.SetMouseMode(LumoMouseLight);
    Drag({200, 150}, {100, 150}); // dx = 100 of 400
    EXPECT_FLOAT_EQ(light->direction.GetValue().x, 0.75f);
    Drag({400, 300}, {0, 0});
    EXPECT_FLOAT_EQ(light->direction.GetValue().x, 2.0f);
    EXPECT_FLOAT_EQ(light->direction.GetValue().y, -2.0f);
    EXPECT_FLOAT_EQ(light->direction.GetValue().z, -1.0f);
    light->Unref();
}

// ---- pan -----------------------------------------------------------------

TEST(CalcOffsetForRotation, QuarterTurnsFollowTheTables)
{
    using lumo::CalcOffsetForRotation;
    using lumo::QuarterTurn;
    EXPECT_EQ(QuarterTurn(44.9f), 0); // truncated to 44
    EXPECT_EQ(QuarterTurn(45.0f), 1);
    EXPECT_EQ(QuarterTurn(134.9f), 1);
    EXPECT_EQ(QuarterTurn(135.0f), 2);
    EXPECT_EQ(QuarterTurn(314.9f), 3);
    EXPECT_EQ(QuarterTurn(315.0f), 0);
    EXPECT_EQ(QuarterTurn(-90.0f), 3);
    EXPECT_EQ(QuarterTurn(-45.5f), 0); // -45 -> 315
    EXPECT_EQ(QuarterTurn(720.0f + 100.0f), 1);
    EXPECT_EQ(QuarterTurn(3e38f), QuarterTurn(float(std::fmod(double(3e38f), 360.0))));
    EXPECT_EQ(QuarterTurn(kNaN), -1);

    struct Row {
        float rx, ry;
        Point3fStruct want; // for h = 1, v = 2
    } rows[] = {
        {0, 0, {1, -2, 0}},     {90, 0, {0, -2, 1}},    {180, 0, {-1, -2, 0}}, {270, 0, {0, -2, -1}},
        {0, 180, {1, 2, 0}},    {0, 90, {1, 0, 2}},     {90, 90, {-2, 0, 1}},  {180, 90, {-1, 0, -2}},
        {270, 90, {2, 0, -1}},  {0, 270, {1, 0, -2}},   {90, 270, {2, 0, 1}},  {180, 270, {-1, 0, 2}},
        {270, 270, {-2, 0, -1}},
    };
    for (const Row& r : rows) {
        Point3fStruct o = CalcOffsetForRotation(r.rx, r.ry, 1.0f, 2.0f);
        EXPECT_EQ(o.x, r.want.x) << r.rx << " " << r.ry;
        EXPECT_EQ(o.y, r.want.y) << r.rx << " " << r.ry;
        EXPECT_EQ(o.z, r.want.z) << r.rx << " " << r.ry;
    }
    Point3fStruct o = CalcOffsetForRotation(kNaN, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(o.x, 0.0f);
    o = CalcOffsetForRotation(0.0f, 0.0f, kInf, 1.0f);
    EXPECT_EQ(o.y, 0.0f);
}

TEST_F(ControllerTest, PanFollowsTheMouseUnderEveryQuarterTurn)
{
    c.SetProjection(LumoProjectionPerspective);
    c.SetMouseMode(LumoMousePan);
    const float angles[] = {20.0f, 90.0f, 180.0f, 250.0f, 330.0f};
    for (float rx : angles)
        for (float ry : angles) {
            c.SetRotation(rx, ry, 0.0f);
            // Right by 30 pixels: the scene's origin moves right on screen.
            Point3fStruct t0 = c.GetTranslation();
            Drag({200, 150}, {230, 150});
            Point3fStruct t1 = c.GetTranslation();
            CVVector moved = Turned(CVVector(t1.x - t0.x, t1.y - t0.y, t1.z - t0.z));
            float expected = 30.0f / (300.0f * 0.3f);
            EXPECT_GT(moved.x, 0.45f * expected) << rx << " " << ry;
            EXPECT_LT(std::fabs(moved.y), 0.75f * expected) << rx << " " << ry;
            // Down by 30 pixels: it moves down.
            Drag({200, 150}, {200, 180});
            Point3fStruct t2 = c.GetTranslation();
            moved = Turned(CVVector(t2.x - t1.x, t2.y - t1.y, t2.z - t1.z));
            EXPECT_LT(moved.y, -0.45f * expected) << rx << " " << ry;
            EXPECT_LT(std::fabs(moved.x), 0.75f * expected) << rx << " " << ry;
        }
}

TEST_F(ControllerTest, PanWithoutTurnMovesByAWindowHeightPerPointThreeUnits)
{
    c.SetMouseMode(LumoMousePan);
    Drag({200, 150}, {290, 150}); // 90 px = 0.3 x 300
    EXPECT_FLOAT_EQ(c.GetTranslation().x, 1.0f);
    EXPECT_FLOAT_EQ(scene.root->translation.GetValue().x, 1.0f);
    EXPECT_FLOAT_EQ(scene.root->center.GetValue().x, -1.0f);
    c.SetProjection(LumoProjectionLeft);
    c.SetTranslation(0, 0, 0);
    Drag({200, 150}, {290, 150});
    EXPECT_EQ(c.GetTranslation().x, 0.0f);
    EXPECT_FLOAT_EQ(c.GetTranslation().z, 1.0f);
}

// ---- faults: zero sizes and values that are not finite ------------------

TEST_F(ControllerTest, ZeroSizedWindowOrRectangleDividesByNothing)
{
    c.SetViewportSize(400, 0);
    c.SetMouseMode(LumoMousePan);
    Drag({200, 150}, {290, 200});
    EXPECT_EQ(c.GetTranslation().x, 0.0f);
    EXPECT_EQ(c.GetTranslation().y, 0.0f);

    CVDirectionalLight* light = new CVDirectionalLight;
    light->Ref();
    light->direction.SetValue(0.5f, 0.25f, -1.0f);
    c.SetDirectLightNode(light);
    c.SetViewportSize(0, 0);
    c.OnLightPosition(50, 50);
    EXPECT_EQ(light->direction.GetValue().x, 0.5f);
    EXPECT_EQ(light->direction.GetValue().y, 0.25f);
    c.SetDirectLightNode(nullptr);
    light->Unref();

    c.SetViewportSize(400, 300);
    c.SetMouseMode(LumoMouseZoomRect);
    Drag({100, 100}, {100, 100});
    Drag({100, 100}, {300, 100}); // no height
    EXPECT_EQ(c.GetScale(), 1.0f);
    EXPECT_FALSE(c.ZoomToRectangle({5, 5}, {5, 6}));
    // A rectangle of half the window's size zooms by two about its centre.
    Drag({100, 75}, {300, 225});
    EXPECT_FLOAT_EQ(c.GetScale(), 2.0f);
    EXPECT_EQ(c.GetTranslation().x, 0.0f);

    c.InitCameraInfo(0, 0);
    c.SetMouseMode(LumoMouseWalker);
    c.OnLButtonDown(MK_LBUTTON, {0, 0});
    c.OnMouseMove(MK_LBUTTON, {100, 100});
    c.OnTimer(CVController::kTimerId);
    Point3fStruct p = c.GetWalkerViewpoint()->position.GetValue();
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
}

TEST_F(ControllerTest, ValuesThatAreNotFiniteAreRefused)
{
    c.SetRotation(10.0f, 20.0f, 0.0f);
    EXPECT_FALSE(c.SetRotation(kNaN, 0.0f, 0.0f));
    EXPECT_FALSE(c.SetRotation(0.0f, kInf, 0.0f));
    EXPECT_FLOAT_EQ(c.GetRotation().x, 10.0f);
    EXPECT_FALSE(c.SetScale(kNaN));
    EXPECT_FALSE(c.SetScale(-kInf));
    EXPECT_FALSE(c.SetScale(0.0f));
    EXPECT_TRUE(c.SetScale(0.001f));
    EXPECT_EQ(c.GetScale(), CVController::kMinScale);
    c.SetScale(1.0f);
    EXPECT_FALSE(c.SetTranslation(0.0f, kNaN, 0.0f));
    EXPECT_FALSE(c.SetCameraDistance(kInf));
    EXPECT_FALSE(c.SetDragTranslationScale(kNaN));
    EXPECT_FALSE(c.SetViewpoint({kNaN, 0, 0}, {0, 0, 1}, 0.0f));
    EXPECT_FALSE(c.SetCameraConstraints({kNaN, 0, 0}, {1, 1, 1}));
    EXPECT_FALSE(c.SetCameraConstraints({2, 0, 0}, {1, 1, 1}));
    c.OnScale(kNaN);
    c.OnTranslate(kInf, 0.0f);
    EXPECT_EQ(c.GetScale(), 1.0f);
    EXPECT_EQ(c.GetTranslation().x, 0.0f);
    const CVRotation& r = scene.root->rotation.GetValue();
    EXPECT_TRUE(std::isfinite(r.angle) && std::isfinite(r.x));
}

// ---- view values ---------------------------------------------------------

TEST_F(ControllerTest, ViewValuesPersistToTextAndBackExactly)
{
    c.SetRotation(100.0f / 6.0f, -12.345678f, 0.1f);
    c.SetScale(0.90625f);
    c.SetTranslation(1e-7f, -3.4028235e38f, 123456.789f);
    c.SetCameraDistance(5.8f);
    std::wstring text = c.GetViewValuesText();
    EXPECT_NE(text.find(L"Ctrl_XRot="), std::wstring::npos);

    CVController other;
    ASSERT_TRUE(other.SetViewValuesText(text));
    EXPECT_TRUE(other.GetViewValues() == c.GetViewValues());
    EXPECT_EQ(other.GetViewValuesText(), text);

    // And through a property bag as named floats.
    ComPtr<CPropertyBag> bag = CPropertyBag::Create();
    CPropertyBagExchange save(bag.Get(), false);
    ASSERT_TRUE(c.DoPropExchange(save));
    EXPECT_EQ(bag->Count(), 8u);
    CVController third;
    CPropertyBagExchange load(bag.Get(), true);
    ASSERT_TRUE(third.DoPropExchange(load));
    EXPECT_TRUE(third.GetViewValues() == c.GetViewValues());
}

TEST_F(ControllerTest, BadPersistedTextIsRefusedAndChangesNothing)
{
    c.SetRotation(5.0f, 6.0f, 0.0f);
    const CVViewValues before = c.GetViewValues();
    const std::wstring good = c.GetViewValuesText();
    auto with = [&](const std::wstring& from, const std::wstring& to) {
        std::wstring t = good;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const std::wstring bad[] = {
        with(L"Ctrl_XRot=5", L"Ctrl_XRot=nan"),
        with(L"Ctrl_XRot=5", L"Ctrl_XRot=inf"),
        with(L"Ctrl_XRot=5", L"Ctrl_XRot=-INFINITY"),
        with(L"Ctrl_XRot=5", L"Ctrl_XRot=1e39"), // overflows a float
        with(L"Ctrl_XRot=5", L"Ctrl_XRot=5abc"),
        with(L"Ctrl_XRot=5", L"Ctrl_XRot="),
        with(L"Ctrl_XRot=5", L"Ctrl_Rot=5"),
        with(L"Ctrl_Scale=1", L"Ctrl_Scale=0"),
        with(L"Ctrl_Scale=1", L"Ctrl_Scale=-1"),
        with(L"Ctrl_ZTrans=0\n", L""),            // missing
        good + L"Ctrl_XRot=1\n",                  // twice
        with(L"Ctrl_XRot=5", L"Ctrl_XRot 5"),     // no '='
        good + std::wstring(CVViewValues::kMaxTextLength, L' '),
    };
    for (const std::wstring& t : bad) {
        std::wstring error;
        EXPECT_FALSE(c.SetViewValuesText(t, &error)) << std::string(t.begin(), t.end());
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(c.GetViewValues() == before);
    }
    // At the length bound it is still read.
    std::wstring padded = good + std::wstring(CVViewValues::kMaxTextLength - good.size(), L'\n');
    EXPECT_TRUE(c.SetViewValuesText(padded));

    // A bag holding a value that is not finite is refused as a whole.
    ComPtr<CPropertyBag> bag = CPropertyBag::Create();
    CPropertyBagExchange save(bag.Get(), false);
    c.DoPropExchange(save);
    CVariant nan(kNaN);
    bag->Write(u"Ctrl_YRot", &nan);
    CPropertyBagExchange load(bag.Get(), true);
    CVController other;
    other.SetRotation(1.0f, 2.0f, 3.0f);
    EXPECT_FALSE(other.DoPropExchange(load));
    EXPECT_FLOAT_EQ(other.GetRotation().y, 2.0f);
}

// ---- dragging and undo ---------------------------------------------------

TEST_F(ControllerTest, DraggingATransformHeldObjectAndUndoPutsItBack)
{
    c.AddSelectNode({100, 100}, scene.object, scene.PathToObject());
    ASSERT_EQ(c.GetNumSelections(), 1);
    c.OnEnableDrag(0, {100, 100}, 1, 1, 1);
    c.OnMouseMove(MK_LBUTTON, {100, 100}); // takes the base
    c.OnMouseMove(MK_LBUTTON, {150, 80});  // 50 right, 20 up
    Point3fStruct t = scene.object->translation.GetValue();
    EXPECT_FLOAT_EQ(t.x, 1.0f + 50 * 0.005f);
    EXPECT_FLOAT_EQ(t.y, 2.0f + 20 * 0.005f);
    EXPECT_FLOAT_EQ(t.z, 3.0f);
    c.OnLButtonUp(0, {150, 80});
    EXPECT_FALSE(c.IsDragging());

    ASSERT_EQ(c.UndoDragDrop(), 1);
    t = scene.object->translation.GetValue();
    EXPECT_FLOAT_EQ(t.x, 1.0f);
    EXPECT_FLOAT_EQ(t.y, 2.0f);
    EXPECT_EQ(c.GetNumSelections(), 1);
    EXPECT_EQ(c.GetSelectedNode(0), scene.object);
    while (c.UndoDragDrop())
        ;
    EXPECT_EQ(c.UndoDragDrop(), 0);
}

TEST_F(ControllerTest, DragMovesOnlyWhereTheConstraintAllowsAndScalesByTheZoom)
{
    c.SetScale(2.0f);
    c.SetDragConstraint(std::make_shared<CVAxisDragConstraint>(Point3fStruct{0.0f, 1.0f, 0.0f}));
    c.AddSelectNode({0, 0}, scene.object, scene.PathToObject());
    c.OnEnableDrag(0, {0, 0}, 1, 1, 1);
    c.OnDragNode(0, {0, 0});
    c.OnDragNode(0, {40, -40});
    Point3fStruct t = scene.object->translation.GetValue();
    EXPECT_FLOAT_EQ(t.x, 1.0f);
    EXPECT_FLOAT_EQ(t.y, 2.0f + 40 * 0.005f / 2.0f);
    c.TerminateDragDrop();
    EXPECT_FLOAT_EQ(scene.object->translation.GetValue().y, 2.0f);
    EXPECT_EQ(c.GetNumSelections(), 0);
}

TEST_F(ControllerTest, DragScaleAndRotateUseTheSavedBase)
{
    c.AddSelectNode({0, 0}, scene.object, scene.PathToObject());
    c.OnEnableDrag(0, {0, 0}, 1, 1, 1);
    host.keys = {'S'};
    c.OnDragNode(0, {0, -100}); // f = 1 + 0.5
    EXPECT_FLOAT_EQ(scene.object->scale.GetValue().x, 1.5f);
    c.OnDragNode(0, {0, 100000}); // never down to 0
    EXPECT_FLOAT_EQ(scene.object->scale.GetValue().x, 0.01f);
    host.keys = {'C'};
    c.OnDragNode(0, {0, 0});
    c.OnDragNode(0, {100, 0}); // 0.5 rad about y
    const CVRotation& r = scene.object->rotation.GetValue();
    EXPECT_NEAR(r.angle, 0.5f, 1e-5f);
    EXPECT_NEAR(r.y, 1.0f, 1e-5f);
    host.keys.clear();
    c.OnLButtonUp(0, {100, 0});
    ASSERT_EQ(c.UndoDragDrop(), 1);
    EXPECT_FLOAT_EQ(scene.object->scale.GetValue().x, 1.0f);
    EXPECT_EQ(scene.object->rotation.GetValue().angle, 0.0f);
}

// ---- records and the scene's lifetime -------------------------------------

TEST_F(ControllerTest, RecordsHoldTheirNodesAndComeBackInTheNextScene)
{
    scene.object->SetName(L"shelf-7");
    c.AddSelectNode({0, 0}, scene.object, scene.PathToObject());
    c.OnEnableDrag(0, {0, 0}, 1, 1, 1);
    c.OnDragNode(0, {0, 0});
    c.OnDragNode(0, {10, 0});
    c.OnDropNode(0, {10, 0});
    ASSERT_GT(c.GetUndoStackSize(), 0);
    // While held, a record keeps its node alive whatever the host does.
    EXPECT_GT(scene.object->GetRef(), 1);

    {
        // A new scene of the same shape replaces the old one, which goes.
        Scene next;
        next.object->SetName(L"shelf-7"); // the same document read again
        next.object->translation.SetValue(9.0f, 9.0f, 9.0f);
        CVTransform* oldObject = scene.object;
        int before = oldObject->GetRef();
        c.SetTopLevelTransformNode(next.root);
        EXPECT_LT(oldObject->GetRef(), before); // let go of the old scene
        ASSERT_EQ(c.GetNumSelections(), 1);
        EXPECT_EQ(c.GetSelectedNode(0), next.object);
        CVNodePath path = c.GetSelectionInfo(0).GetPath();
        ASSERT_EQ(path.size(), 3u);
        EXPECT_EQ(path[0], next.root);
        // Undo works on the new scene's node.
        ASSERT_EQ(c.UndoDragDrop(), 1);
        EXPECT_FLOAT_EQ(next.object->translation.GetValue().x, 1.0f);
        c.ReleaseScene();
        EXPECT_EQ(c.GetSelectedNode(0), nullptr);
        EXPECT_EQ(c.GetTopLevelTransformNode(), nullptr);
    }
    // The scene is freed; the records keep no pointer into it. A scene of
    // another shape finds the node by its name.
    CVGroup* root = new CVGroup;
    root->Ref();
    CVGroup* a = new CVGroup;
    CVTransform* moved = new CVTransform;
    root->AddChild(new CVGroup);
    root->AddChild(a);
    a->AddChild(moved);
    moved->SetName(L"shelf-7");
    EXPECT_EQ(c.ReselectScene(root), 1);
    EXPECT_EQ(c.GetSelectedNode(0), moved);
    EXPECT_EQ(c.GetSelectionInfo(0).GetPath().back(), moved);
    c.ClearSelections();
    c.ClearUndoStack();
    root->Unref();
}

TEST_F(ControllerTest, UnnamedRecordsComeBackByPositionOrAreDropped)
{
    c.AddSelectNode({0, 0}, scene.object, scene.PathToObject());
    c.ReleaseScene();
    {
        Scene same;
        EXPECT_EQ(c.ReselectScene(same.root), 1);
        EXPECT_EQ(c.GetSelectedNode(0), same.object);
        c.ReleaseScene();
    }
    CVTransform* bare = new CVTransform; // nothing below it
    bare->Ref();
    EXPECT_EQ(c.ReselectScene(bare), 0);
    EXPECT_EQ(c.GetNumSelections(), 0);
    bare->Unref();
}

TEST_F(ControllerTest, ListsAnswerOutsideTheirRange)
{
    EXPECT_EQ(c.GetSelectedNode(0), nullptr);
    EXPECT_EQ(c.GetSelectedNode(-1), nullptr);
    EXPECT_THROW(c.GetSelectionInfo(0), std::out_of_range);
    EXPECT_THROW(c.GetCrossSectionNode(0), std::out_of_range);
    EXPECT_EQ(c.PopDrillDown().node.get(), nullptr);
    EXPECT_TRUE(c.GetDrillDownInfo(3).id.empty());
    c.AddSelectNode({0, 0}, nullptr, {});
    EXPECT_EQ(c.GetNumSelections(), 0);
    c.AddSelectNode({0, 0}, scene.object, scene.PathToObject());
    EXPECT_TRUE(c.IsSelected(scene.object));
    EXPECT_EQ(c.RemoveSelectNode(scene.root), 0);
    EXPECT_EQ(c.RemoveSelectNode(scene.object), 1);
    EXPECT_FALSE(c.IsSelected(scene.object));
    // A geometry without an id cannot be a cross section.
    EXPECT_FALSE(c.AddCrossSectionNode(scene.object, nullptr, nullptr, {}));
    DrillDownInfoStruct d;
    d.id = L"A";
    c.PushDrillDown(d);
    EXPECT_TRUE(c.IsDrilled());
    EXPECT_EQ(c.PopDrillDown().id, L"A");
    EXPECT_FALSE(c.IsDrilled());
}

TEST_F(ControllerTest, UndoStackKeepsItsBound)
{
    c.AddSelectNode({0, 0}, scene.object, scene.PathToObject());
    for (std::size_t i = 0; i < CVController::kMaxUndoSnapshots + 5; ++i) {
        c.OnEnableDrag(0, {0, 0}, 1, 1, 1);
        c.OnDragNode(0, {0, 0});
        c.OnDragNode(0, {1, 0});
        c.OnDropNode(0, {1, 0});
    }
    EXPECT_EQ(c.GetUndoStackSize(), int(CVController::kMaxUndoSnapshots));
}

// ---- walker --------------------------------------------------------------

TEST_F(ControllerTest, WalkerRunsOneTimerAndIgnoresTheDeadZone)
{
    c.SetMouseMode(LumoMouseWalker);
    c.InitCameraInfo(400, 300);
    c.OnLButtonDown(MK_LBUTTON, {200, 150});
    c.OnRButtonDown(MK_LBUTTON | MK_RBUTTON, {200, 150});
    EXPECT_TRUE(host.running);
    EXPECT_EQ(host.timerStarts, 1);
    EXPECT_EQ(host.lastTimer, CVController::kTimerId);
    EXPECT_EQ(host.lastInterval, 30u);
    c.OnRButtonUp(MK_LBUTTON, {200, 150});
    EXPECT_FALSE(host.running);

    CVViewpoint* w = c.GetWalkerViewpoint();
    c.OnLButtonDown(MK_LBUTTON, {200, 150});
    c.OnMouseMove(MK_LBUTTON, {204, 154}); // inside the dead zone
    for (int i = 0; i < 5; ++i)
        c.OnTimer(CVController::kTimerId);
    EXPECT_EQ(w->position.GetValue().z, 5.8f);
    EXPECT_EQ(w->orientation.GetValue().angle, 0.0f);
    c.OnMouseMove(MK_LBUTTON, {200, 100}); // 50 up: forward
    c.OnTimer(CVController::kTimerId);
    EXPECT_LT(w->position.GetValue().z, 5.8f);
    c.OnLButtonUp(0, {200, 100});

    // With D held the timer does not start.
    host.keys = {'D'};
    int starts = host.timerStarts;
    c.OnLButtonDown(MK_LBUTTON, {0, 0});
    EXPECT_EQ(host.timerStarts, starts);
    c.OnLButtonUp(0, {0, 0});
}

TEST_F(ControllerTest, WalkerStaysInsideItsBoxAndAWheelTurnMovesOnce)
{
    c.SetMouseMode(LumoMouseWalker);
    c.InitCameraInfo(400, 300);
    ASSERT_TRUE(c.SetCameraConstraints({-1, -1, 5.0f}, {1, 1, 100}));
    CVViewpoint* w = c.GetWalkerViewpoint();
    c.OnLButtonDown(MK_LBUTTON, {200, 150});
    c.OnMouseMove(MK_LBUTTON, {200, 0});
    for (int i = 0; i < 200; ++i)
        c.OnTimer(CVController::kTimerId);
    EXPECT_EQ(w->position.GetValue().z, 5.0f);
    c.OnLButtonUp(0, {200, 0});

    c.OnMouseWheel(MK_CONTROL, WHEEL_DELTA, {0, 0});
    float y = w->position.GetValue().y;
    EXPECT_FLOAT_EQ(y, 0.12f);
    c.UpdateCameraPosition();
    EXPECT_EQ(w->position.GetValue().y, y); // no velocity left behind
}

TEST_F(ControllerTest, WalkerArrowKeysStartAndStopTheTimer)
{
    EXPECT_EQ(c.OnKeyDown(VK_LEFT), 0); // not walking
    c.SetMouseMode(LumoMouseWalker);
    c.InitCameraInfo(400, 300);
    EXPECT_EQ(c.OnKeyDown(VK_UP), 1);
    EXPECT_TRUE(host.running);
    EXPECT_EQ(c.OnKeyDown(VK_UP), 1); // auto-repeat
    EXPECT_EQ(host.timerStarts, 1);
    c.OnTimer(CVController::kTimerId);
    EXPECT_LT(c.GetWalkerViewpoint()->position.GetValue().z, 5.8f);
    EXPECT_EQ(c.OnKeyUp(VK_UP), 1);
    EXPECT_FALSE(host.running);
    EXPECT_EQ(c.OnKeyDown('Q'), 0);
    EXPECT_EQ(c.OnKeyDown(VK_F1), 1);
}

} // namespace
