// Turns window input (mouse buttons and moves, the wheel, keys and a 30 ms
// timer) into view changes: it rotates, zooms and pans the scene's top-level
// transform, moves a directional light, steers a walking camera, keeps the
// selection, drill-down and cross-section lists, and drags selected objects
// with an undo stack. Input comes as plain values (window points, MK_ flags,
// virtual-key codes, wheel deltas of 120 a notch); repaints, the timer,
// capture and key state go through a CVControllerHost.
//
// Bounds: the undo stack keeps the last kMaxUndoSnapshots snapshots (older
// ones are dropped); the scale stays at or above kMinScale; values that are
// not finite are refused wherever they come in.
#pragma once

#include "platform/win/WinTypes.h"
#include "scene/interact/ControllerHost.h"
#include "scene/interact/DragConstraint.h"
#include "scene/interact/ShelfDragConstraint.h"
#include "scene/print/Print.h"
#include "scene/interact/SelectionRecords.h"
#include "scene/interact/ViewValues.h"
#include "scene/model/Quaternion.h"
#include "scene/model/RefPtr.h"
#include "scene/nodes/Lights.h"
#include "scene/nodes/Transform.h"
#include "scene/nodes/Viewpoint.h"
#include "scene/render/ControllerValues.h"
#include "scene/render/GLRenderArea.h"
#include "scene/render/ViewModes.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class CPropExchange;
class CVCamera;
class CVKeyFrame;

class CVController : public CVControllerValues {
public:
    static constexpr unsigned kTimerId = 0;
    static constexpr unsigned kTimerInterval = 30; // ms
    static constexpr float kMinScale = 0.01f;
    static constexpr std::size_t kMaxUndoSnapshots = 1000;
    static constexpr int kLocalizedStringCount = 10;

    CVController();
    ~CVController() override;
    CVController(const CVController&) = delete;
    CVController& operator=(const CVController&) = delete;

    // The window services (not owned; null: none).
    void SetHost(CVControllerHost* host) { mHost = host; }
    CVControllerHost* GetHost() const { return mHost; }
    // The render area this controller serves: it hands itself to the area
    // (SetController, SetControllerValues) and takes itself back when
    // replaced or destroyed. Held with a counted reference.
    void SetRenderArea(CVGLRenderArea* area);
    CVGLRenderArea* GetRenderArea() const { return mArea.get(); }

    // Window size in pixels; negative sizes become 0. A size of 0 leaves
    // the steps that divide by it (pan, light, walker turn) without effect.
    void SetViewportSize(int width, int height);
    void GetViewportSize(int& width, int& height) const;

    // A mode or projection outside its enumeration is refused (false).
    bool SetMouseMode(int mode);
    int GetMouseMode() const { return mMouseMode; }
    bool SetProjection(int projection);
    int GetProjection() const { return mProjection; }

    // View values. Setters refuse values that are not finite (false,
    // nothing changed); with `apply` the top-level transform follows.
    bool SetCameraDistance(float distance);
    float GetCameraDistance() const { return mView.distance; }
    // Scales below kMinScale become kMinScale; 0 or negative is refused.
    bool SetScale(float scale, int apply = 1);
    float GetScale() const override { return mView.scale; }
    bool SetRotation(float rotX, float rotY, float rotZ, int apply = 1);
    bool SetRotation(const Point3fStruct& r) { return SetRotation(r.x, r.y, r.z, 1); }
    Point3fStruct GetRotation() const { return {mView.rotX, mView.rotY, mView.rotZ}; }
    bool SetTranslation(float x, float y, float z, int apply = 1);
    bool SetTranslation(const Point3fStruct& t) { return SetTranslation(t.x, t.y, t.z, 1); }
    Point3fStruct GetTranslation() const { return {mView.tx, mView.ty, mView.tz}; }

    // All eight persistent values at once; unusable values change nothing.
    const CVViewValues& GetViewValues() const { return mView; }
    bool SetViewValues(const CVViewValues& values, int apply = 1);
    std::wstring GetViewValuesText() const { return mView.ToText(); }
    bool SetViewValuesText(const std::wstring& text, std::wstring* error = nullptr);
    // Saves or loads the view values as named floats (Ctrl_XRot ...).
    bool DoPropExchange(CPropExchange& px);

    bool SetDragTranslationScale(float scale);
    float GetDragTranslationScale() const override { return mDragScale; }
    void SetShowFloor(int on) { mShowFloor = on != 0; }
    int GetShowFloor() const { return mShowFloor; }
    void SetMetricEnabled(int on) { mMetric = on != 0; }
    int IsMetricEnabled() const { return mMetric; }
    void SetDecimalSeparator(const std::wstring& s) { mDecimalSeparator = s; }
    std::wstring GetDecimalSeparator() const { return mDecimalSeparator; }
    // Switching animation off stops the timer.
    void SetAnimationEnabled(int on);
    int IsAnimationEnabled() const { return mAnimationEnabled; }

    // Tooltip words: width, height, depth, facings, caps, nested,
    // "rotated {0} degrees", gap, fill pattern, section node; all ten are
    // replaced at once (false, nothing changed, for another count).
    bool SetLocalizedStrings(const std::vector<std::wstring>& strings);
    std::wstring GetStrWidth() const { return mStrings[0]; }
    std::wstring GetStrHeight() const { return mStrings[1]; }
    std::wstring GetStrDepth() const { return mStrings[2]; }
    std::wstring GetStrFacings() const { return mStrings[3]; }
    std::wstring GetStrCaps() const { return mStrings[4]; }
    std::wstring GetStrNested() const { return mStrings[5]; }
    std::wstring GetStrRotated() const { return mStrings[6]; }
    std::wstring GetStrGap() const { return mStrings[7]; }
    std::wstring GetStrFillPattern() const { return mStrings[8]; }
    std::wstring GetStrNode() const { return mStrings[9]; }

    // The scene's top-level transform: stored (with a counted reference) and
    // given the current rotation, scale and translation. Changing it
    // releases the scene's records (ReleaseScene) and, with a new transform,
    // finds them again below it (ReselectScene).
    void SetTopLevelTransformNode(CVTransform* transform);
    CVTransform* GetTopLevelTransformNode() const { return mTop.get(); }
    void SetDirectLightNode(CVDirectionalLight* light) { mLight = CVRefPtr<CVDirectionalLight>(light); }
    CVDirectionalLight* GetDirectLightNode() const { return mLight.get(); }

    // Input. Points are window pixels, y down; flags are MK_ bits.
    void OnLButtonDown(unsigned flags, POINT point);
    void OnLButtonUp(unsigned flags, POINT point);
    void OnRButtonDown(unsigned flags, POINT point);
    void OnRButtonUp(unsigned flags, POINT point);
    void OnMouseMove(unsigned flags, POINT point);
    // delta: the wheel's signed 16-bit turn, 120 a notch.
    void OnMouseWheel(unsigned flags, short delta, POINT point);
    // 1 when the key was used (the walker's arrows and F1), else 0.
    int OnKeyDown(int virtualKey);
    int OnKeyUp(int virtualKey);
    void OnTimer(unsigned id);

    // Navigation steps, in window pixels (dx = previous x - x).
    void OnRotate(int dx, int dy);
    void OnScale(float dy);
    void OnTranslate(float dx, float dy);
    void OnLightPosition(int dx, int dy);
    // Zooms so that the window rectangle between the two corners fills the
    // window (pan its centre to the window's, then scale by the smaller of
    // the two size ratios). A rectangle under one pixel wide or high, or a
    // window of size 0, changes nothing (false).
    bool ZoomToRectangle(POINT a, POINT b);
    // The rectangle being dragged in zoom-rectangle mode; false when none.
    bool GetZoomRectangle(RECT& rect) const;

    // Hot keys, read from the host at the moment of asking.
    bool IsKeyDown(int virtualKey) const { return mHost && mHost->IsKeyDown(virtualKey); }
    bool IsSelectHotKeyPressed() const;
    bool IsAnyHotKeyPressed() const;

    // Selection. A null transform or an index outside the list is ignored.
    void AddSelectNode(POINT point, CVTransform* transform, const CVNodePath& path);
    void UpdateSelectNode(int index, CVTransform* transform, const CVNodePath& path);
    int RemoveSelectNode(CVTransform* transform);
    bool IsSelected(const CVTransform* transform) const;
    // Whether the planogram geometry is the one under a selected transform.
    bool IsGeometrySelected(const CVNode* geometry) const;
    CVTransform* GetSelectedNode(int index) const; // null outside the list
    // Throws std::out_of_range outside the list.
    const SelectedNodeInfoStruct& GetSelectionInfo(int index) const;
    int GetNumSelections() const { return int(mSelections.size()); }
    void ClearSelections() { mSelections.clear(); }

    // Drill-down stack; Pop and Get give an empty record when there is none.
    void PushDrillDown(const DrillDownInfoStruct& info) { mDrill.push_back(info); }
    DrillDownInfoStruct PopDrillDown();
    DrillDownInfoStruct GetDrillDownInfo(int index) const;
    int GetDrillStackSize() const { return int(mDrill.size()); }
    bool IsDrilled() const { return !mDrill.empty(); }

    // Cross sections, keyed by the geometry's id (false for an empty id or
    // a null transform).
    bool AddCrossSectionNode(CVTransform* transform, CVNode* geometry, CVNode* fixture, const CVNodePath& path);
    // Throws std::out_of_range outside the list.
    const CrossViewNodeInfoStruct& GetCrossSectionNode(int index) const;
    int GetNumCrossSectionNodes() const { return int(mCross.size()); }
    bool IsNodeInCrossSection(const CVNode* geometry) const override;
    void ClearCrossSectionNodes() { mCross.clear(); }

    // Dragging the selection (see the drag notes in the source): enable at a
    // press point, drag steps measured from the base point, drop, undo.
    void OnEnableDrag(unsigned flags, POINT point, int enable, int startPoint, int endPoint);
    int OnDragNode(unsigned flags, POINT point);
    int OnDropNode(unsigned flags, POINT point);
    int UndoDragDrop();
    void TerminateDragDrop();
    void ClearUndoStack() { mUndo.clear(); }
    int GetUndoStackSize() const { return int(mUndo.size()); }
    bool IsDragEnabled() const { return mDragEnabled; }
    bool IsDragging() const { return mDragging; }
    // While dragging: whether the geometry is the shelf-plan geometry of a
    // selected transform.
    bool IsDraggedGeometry(const CVNode* geometry) const override;
    // Where dragged transforms may go (shared; null: anywhere). The default
    // keeps products on their subfixtures.
    void SetDragConstraint(std::shared_ptr<CVDragConstraint> constraint) { mConstraint = std::move(constraint); }

    // The planogram geometry (of class CVSPGeometry, CVSPProduct or
    // CVSPAnnotation, known by name) of the first shape among the
    // transform's children that has one; null otherwise.
    static CVNode* GetSPGeometryNode(const CVTransform* transform);
    static CVNode* GetSPProductNode(const CVTransform* transform);
    static CVNode* GetSPAnnotationNode(const CVTransform* transform);

    // Lets go of the scene: every selection, undo snapshot, drill-down and
    // cross-section record keeps only where its nodes were (a position
    // below the top-level transform, or the path's start, and the node's
    // name), and the top-level transform and light are dropped.
    void ReleaseScene();

    // The view's print settings and page layout, owned with the view.
    CVPrint* GetPrintState() { return mPrint.get(); }
    // Finds released records again below root; those not found are
    // dropped. Returns how many selection records came back.
    int ReselectScene(CVNode* root);

    // Viewpoints and the walking camera.
    CVViewpoint* GetReferenceViewpoint() const { return mReference.get(); }
    CVViewpoint* GetWalkerViewpoint() const { return mWalker.get(); }
    // The walker viewpoint's placement into the camera, aspect = width / height
    // (left alone for a height of 0).
    void SetCamera(CVCamera* camera);
    void SetViewpoint(CVViewpoint* viewpoint);
    bool SetViewpoint(const Point3fStruct& position, const Point3fStruct& axis, float angle);
    void InitCameraInfo(int width, int height);
    // Plays the walker viewpoint's key frame: start = 1 begins it; later
    // calls (each timer tick) advance it by the clock. 1 while it plays.
    int AnimateViewpoint(CVGLRenderArea* area, int start);
    bool SetCameraConstraints(const Point3fStruct& min, const Point3fStruct& max);
    bool SetSpeedFactor(float factor);
    float GetSpeedFactor() const { return mSpeed; }
    // One walker step (what each timer tick does).
    void UpdateCameraPosition();
    void Reset();

    bool IsTimerRunning() const { return mTimerCount > 0; }

private:
    void Invalidate();
    void ApplyRotation();
    void ApplyScale();
    void ApplyTranslation();
    void StartTimer();
    void StopTimer();
    void WalkerButtonDown(POINT point, bool right, bool shift);
    void WalkerButtonUp();
    void SaveBase(SelectedNodeInfoStruct& record) const;
    void Restore(const SelectedNodeInfoStruct& record) const;
    void PushUndo(const SelectedNodeInfoStruct& record);
    void DragRotate(int dx, int dy, bool x, bool c, bool z);
    void DragScale(int dy);
    void DragTranslate(int dx, int dy);

    CVControllerHost* mHost = nullptr;
    CVRefPtr<CVGLRenderArea> mArea;
    int mWidth = 0, mHeight = 0;
    POINT mPress{0, 0}, mLast{0, 0};
    bool mLeftDown = false, mRightDown = false;
    bool mZoomRect = false;
    int mMouseMode = LumoMouseSelect;
    int mProjection = LumoProjectionNone;
    CVViewValues mView;
    CVRefPtr<CVTransform> mTop;
    CVRefPtr<CVDirectionalLight> mLight;
    CVRefPtr<CVViewpoint> mReference, mWalker;

    // Walker.
    int mWalkDx = 0, mWalkDy = 0;
    float mYaw = 0.0f, mPitch = 0.0f;
    Point3fStruct mBase{0.0f, 0.0f, 10.0f};
    float mTurnGain = 0.0f, mStepGain = 0.0875f;
    float mVerticalVelocity = 0.0f, mSidewaysVelocity = 0.0f;
    float mSpeed = 1.0f;
    bool mLookMode = false;
    Point3fStruct mMin{-3.4028235e38f, -3.4028235e38f, -3.4028235e38f};
    Point3fStruct mMax{3.4028235e38f, 3.4028235e38f, 3.4028235e38f};
    int mTimerCount = 0;
    bool mKeyDown = false;

    // Viewpoint animation.
    CVRefPtr<CVKeyFrame> mKeyFrame;
    bool mAnimationPending = false, mAnimating = false;
    std::chrono::system_clock::time_point mAnimationStart;

    // Dragging.
    float mDragScale = 0.005f;
    bool mDragEnabled = false, mDragging = false, mNewBase = true;
    bool mDragStart = true, mDragEnd = true;
    std::unique_ptr<CVPrint> mPrint = std::make_unique<CVPrint>();
    std::shared_ptr<CVDragConstraint> mConstraint = std::make_shared<CVShelfDragConstraint>();

    bool mShowFloor = false, mAnimationEnabled = false, mMetric = false;
    std::wstring mDecimalSeparator = L".";
    std::wstring mStrings[kLocalizedStringCount];

    std::vector<SelectedNodeInfoStruct> mSelections;
    std::vector<DrillDownInfoStruct> mDrill;
    std::vector<CrossViewNodeInfoStruct> mCross;
    std::vector<SelectedNodeInfoStruct> mUndo;
};
