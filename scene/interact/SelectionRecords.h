// The records the controller keeps about the scene: selected transforms with
// their state at drag start (also the undo snapshots), drill-down steps and
// cross-section entries. Each holds its nodes with counted references, so a
// record never points into a freed scene; when the scene is released the
// controller turns the nodes into keys (NodeKey.h) and finds them again in
// the next scene.
#pragma once

#include "scene/interact/NodeKey.h"
#include "scene/model/RefPtr.h"
#include "scene/model/Rotation.h"
#include "scene/model/Structs.h"
#include "scene/nodes/Transform.h"

#include <string>
#include <vector>

using CVHeldPath = std::vector<CVRefPtr<CVNode>>;

namespace lumo {
CVHeldPath HoldPath(const CVNodePath& path);
CVNodePath PlainPath(const CVHeldPath& path);
} // namespace lumo

struct SelectedNodeInfoStruct {
    CVRefPtr<CVTransform> transform; // null while the scene is released
    CVHeldPath path;
    Point3fStruct translation{0.0f, 0.0f, 0.0f};
    Point3fStruct start{0.0f, 0.0f, 0.0f}; // an annotation's arrow ends
    Point3fStruct end{0.0f, 0.0f, 0.0f};
    // The planogram geometry's size, or the transform's scale when the
    // transform holds no planogram geometry (hasGeometry false).
    Point3fStruct size{1.0f, 1.0f, 1.0f};
    bool hasGeometry = false;
    Point3fStruct faceRotation{0.0f, 0.0f, 0.0f}; // a product's, in degrees
    CVRotation rotation{1.0f, 0.0f, 0.0f, 0.0f};
    std::wstring id;
    CVNodeKey key; // where the transform was, while the scene is released

    CVNodePath GetPath() const { return lumo::PlainPath(path); }
};

struct DrillDownInfoStruct {
    CVRefPtr<CVNode> node; // the top-level child before the step
    Point3fStruct translation{0.0f, 0.0f, 0.0f};
    Point3fStruct rotation{0.0f, 0.0f, 0.0f};
    float scale = 1.0f;
    std::wstring id;
    CVRefPtr<CVTransform> target; // whose own rotation the step cleared
    CVRotation targetRotation{1.0f, 0.0f, 0.0f, 0.0f};
    CVNodeKey nodeKey, targetKey;
};

struct CrossViewNodeInfoStruct {
    CVRefPtr<CVTransform> transform;
    CVRefPtr<CVNode> geometry; // the planogram geometry under the transform
    CVRefPtr<CVNode> fixture;
    std::wstring id;
    CVHeldPath path;
    CVNodeKey key, fixtureKey;

    CVNodePath GetPath() const { return lumo::PlainPath(path); }
};
