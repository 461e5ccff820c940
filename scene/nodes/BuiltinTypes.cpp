// The built-in node classes in their fixed registration order.
#include "scene/nodes/BuiltinTypes.h"

#include "scene/core/Node.h"
#include "scene/nodes/Anchor.h"
#include "scene/nodes/Animation.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Billboard.h"
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/Blinker.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Color.h"
#include "scene/nodes/Cone.h"
#include "scene/nodes/Coordinate.h"
#include "scene/nodes/Cylinder.h"
#include "scene/nodes/ElevationGrid.h"
#include "scene/nodes/Extrusion.h"
#include "scene/nodes/FontStyle.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/ImageTexture.h"
#include "scene/nodes/IndexedFaceSet.h"
#include "scene/nodes/IndexedLineSet.h"
#include "scene/nodes/Interpolators.h"
#include "scene/nodes/KeyFrame.h"
#include "scene/nodes/KeyFrameAnimation.h"
#include "scene/nodes/Lights.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/NavigationInfo.h"
#include "scene/nodes/Normal.h"
#include "scene/nodes/PointSet.h"
#include "scene/nodes/SPAnnotation.h"
#include "scene/nodes/SPFixture.h"
#include "scene/nodes/SPProduct.h"
#include "scene/nodes/SPSection.h"
#include "scene/nodes/SPSubfixture.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Sphere.h"
#include "scene/nodes/Switch.h"
#include "scene/nodes/Text.h"
#include "scene/nodes/TextureCoordinate.h"
#include "scene/nodes/TextureTransform.h"
#include "scene/nodes/Transform.h"
#include "scene/nodes/Viewpoint.h"
#include "scene/nodes/WorldInfo.h"

#include <cwchar>

namespace {

struct BuiltinType {
    const wchar_t* name;
    void (*registerType)();
    CVNode* (*create)();
};

template <class N>
CVNode* Create()
{
    return new N;
}

#define LUMO_BUILTIN(name) {L## #name, &CV##name::AddToTypeNameSpace, &Create<CV##name>}

const BuiltinType kBuiltinTypes[] = {
    LUMO_BUILTIN(Box),
    LUMO_BUILTIN(IndexedFaceSet),
    LUMO_BUILTIN(ElevationGrid),
    LUMO_BUILTIN(Shape),
    LUMO_BUILTIN(Group),
    LUMO_BUILTIN(Transform),
    LUMO_BUILTIN(Appearance),
    LUMO_BUILTIN(Material),
    LUMO_BUILTIN(Color),
    LUMO_BUILTIN(Normal),
    LUMO_BUILTIN(Coordinate),
    LUMO_BUILTIN(Text),
    LUMO_BUILTIN(FontStyle),
    LUMO_BUILTIN(BitmapFontStyle),
    LUMO_BUILTIN(Sphere),
    LUMO_BUILTIN(Cone),
    LUMO_BUILTIN(Cylinder),
    LUMO_BUILTIN(IndexedLineSet),
    LUMO_BUILTIN(DirectionalLight),
    LUMO_BUILTIN(PointSet),
    LUMO_BUILTIN(Switch),
    LUMO_BUILTIN(Billboard),
    LUMO_BUILTIN(Extrusion),
    LUMO_BUILTIN(TextureCoordinate),
    LUMO_BUILTIN(ImageTexture),
    LUMO_BUILTIN(TextureTransform),
    LUMO_BUILTIN(ColorInterpolator),
    LUMO_BUILTIN(CoordinateInterpolator),
    LUMO_BUILTIN(SPFixture),
    LUMO_BUILTIN(SPSubfixture),
    LUMO_BUILTIN(SPProduct),
    LUMO_BUILTIN(SPAnnotation),
    LUMO_BUILTIN(SPSection),
    LUMO_BUILTIN(Animation),
    LUMO_BUILTIN(KeyFrameAnimation),
    LUMO_BUILTIN(KeyFrame),
    LUMO_BUILTIN(Blinker),
    LUMO_BUILTIN(Anchor),
    LUMO_BUILTIN(NavigationInfo),
    LUMO_BUILTIN(WorldInfo),
    LUMO_BUILTIN(Viewpoint),
};

static_assert(sizeof(kBuiltinTypes) / sizeof(kBuiltinTypes[0]) == 41, "41 built-in node types");

} // namespace

void lumo::InitBuiltinNodeTypes()
{
    CVNodeType::Init();
    CVNodeType::SetBuiltinFactory(&NewBuiltinNode);
    RegisterBuiltinNodeTypes();
}

void lumo::RegisterBuiltinNodeTypes()
{
    for (const BuiltinType& type : kBuiltinTypes)
        if (type.registerType)
            type.registerType();
}

CVNode* lumo::NewBuiltinNode(const wchar_t* name)
{
    if (!name)
        return nullptr;
    for (const BuiltinType& type : kBuiltinTypes)
        if (type.create && std::wcscmp(type.name, name) == 0)
            return type.create();
    return nullptr;
}
