#include "scene/nodes/SPSubfixture.h"

#include "scene/nodes/SPNames.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_NODE(CVSPSubfixture, CVSPGeometry)

using lumo::planogram::SameName;

namespace {
// Inch fractions of the scanner-peg hardware, in metres.
const float kInch1_5 = 0.0381f, kInch2 = 0.0508f, kInch3 = 0.0762f, kInch1_75 = 0.04445f;
const float kPlateDepth = 0.007f;
} // namespace

CVSPSubfixture::CVSPSubfixture()
{
    SetAntialiasedFlag(1);
    SetDropShadowFlag(1);
}

void CVSPSubfixture::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVSPSubfixture> b(L"SPSubfixture");
    b.Field(L"notchNumber", &CVSPSubfixture::notchNumber);
    AddSPGeometryFields(b, kSPAllFields);
}

int CVSPSubfixture::IsScannerPeg() const
{
    return SameName(type.GetValue(), L"Scanner Peg") || SameName(type.GetValue(), L"ScannerPeg") ? 1 : 0;
}

int CVSPSubfixture::IsDoubleProngPeg() const { return SameName(type.GetValue(), L"Double-prong Peg") ? 1 : 0; }

int CVSPSubfixture::IsPeg() const
{
    return IsScannerPeg() || IsDoubleProngPeg() || SameName(type.GetValue(), L"Peg") ? 1 : 0;
}

int CVSPSubfixture::IsBasket() const { return SameName(type.GetValue(), L"Basket") ? 1 : 0; }

int CVSPSubfixture::IsLabeledInCrossSection(int beamPass) const
{
    const std::wstring& t = type.GetValue();
    if (t.empty())
        return 1;
    if (beamPass)
        return SameName(t, L"Beam") ? 1 : 0;
    return SameName(t, L"Shelf") || SameName(t, L"Open Shelf") || SameName(t, L"Basket") ? 1 : 0;
}

bool CVSPSubfixture::IsShown(CVGLRenderArea* area) const
{
    return (area->GetShowLevelFlag() & 2u) && !HiddenByCrossSection(area);
}

RGBAColorStruct CVSPSubfixture::KindColour(CVGLRenderArea* area) const
{
    return IsScannerPeg() ? area->GetSPScannerPegColor() : area->GetSPSubfixtureColor();
}

bool CVSPSubfixture::FadesWithSolidFixtures(CVGLRenderArea* area) const
{
    return area && !area->GetSolidSubfixturesEnabled();
}

void CVSPSubfixture::CalculatePlateSizeAndCenter(Point3fStruct& plateSize, Point3fStruct& centre) const
{
    const Point3fStruct& s = size.GetValue();
    float h = std::fabs(s.y);
    if (!(h > kInch1_5))
        h = kInch2;
    h = std::min(h, kInch3);
    plateSize = {std::fabs(s.x), 2.0f * (h - kInch1_5), kPlateDepth};
    centre = {0.0f, kInch1_5 - std::fabs(s.y) / 2.0f, std::fabs(s.z) / 2.0f + kInch1_75 + kPlateDepth / 2.0f};
}

void CVSPSubfixture::ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box)
{
    if (!box)
        return;
    if (!IsScannerPeg()) {
        CVSPGeometry::ComputeBoundingBox(state, area, box);
        return;
    }
    Point3fStruct plate, centre;
    CalculatePlateSizeAndCenter(plate, centre);
    box->SetCenter(CVVector(centre));
    box->SetSize(CVVector(plate));
    if (area && area->GetIncludePegHooksInBoundingBox()) {
        CVBox3f hook;
        CVSPGeometry::ComputeBoundingBox(state, area, &hook);
        box->Union(hook);
    }
}

void CVSPSubfixture::RenderScannerPeg(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, bool edges)
{
    Point3fStruct plate, centre;
    CalculatePlateSizeAndCenter(plate, centre);
    glPushMatrix();
    glTranslatef(centre.x, centre.y, centre.z);
    if (edges)
        RenderOutline(plate);
    else
        RenderSolidBox(state, area, appearance, plate, nullptr);
    glPopMatrix();
}

void CVSPSubfixture::RenderDoubleProngPeg(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, bool edges)
{
    // Two prongs, each a quarter of the width, at the sides of the size box.
    const Point3fStruct& s = size.GetValue();
    const Point3fStruct prong{s.x / 4.0f, s.y, s.z};
    for (float side : {-1.0f, 1.0f}) {
        glPushMatrix();
        glTranslatef(side * s.x * 3.0f / 8.0f, 0.0f, 0.0f);
        if (edges)
            RenderOutline(prong);
        else
            RenderSolidBox(state, area, appearance, prong, nullptr);
        glPopMatrix();
    }
}

void CVSPSubfixture::RenderPickTarget(CVState* state, CVGLRenderArea* area)
{
    CVSPGeometry::RenderPickTarget(state, area);
    if (IsScannerPeg()) {
        Point3fStruct plate, centre;
        CalculatePlateSizeAndCenter(plate, centre);
        glPushMatrix();
        glTranslatef(centre.x, centre.y, centre.z);
        DoPickBox(plate);
        glPopMatrix();
    }
}

void CVSPSubfixture::RenderBody(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, const Look& look)
{
    if (IsDoubleProngPeg() && shape.GetValue().empty()) {
        RenderDoubleProngPeg(state, area, appearance, false);
        return;
    }
    CVSPGeometry::RenderBody(state, area, appearance, look);
    if (IsScannerPeg())
        RenderScannerPeg(state, area, appearance, false);
}

void CVSPSubfixture::RenderEdges(CVState* state, CVGLRenderArea* area, const Look& look)
{
    if (IsDoubleProngPeg() && shape.GetValue().empty()) {
        SetLineWidthAndColor(area);
        RenderDoubleProngPeg(state, area, nullptr, true);
        return;
    }
    CVSPGeometry::RenderEdges(state, area, look);
    if (IsScannerPeg())
        RenderScannerPeg(state, area, nullptr, true);
}

void CVSPSubfixture::RenderExtras(CVState* state, CVGLRenderArea* area, const Look& look)
{
    if (!area->GetFixtureLabelsEnabled() || label.GetNum() == 0)
        return;
    // A scanner peg's label is on its plate.
    CVBox3f box;
    if (IsScannerPeg()) {
        Point3fStruct plate, centre;
        CalculatePlateSizeAndCenter(plate, centre);
        box.SetCenter(CVVector(centre));
        box.SetSize(CVVector(plate));
    } else {
        CVSPGeometry::ComputeBoundingBox(state, area, &box);
    }
    RenderLabel(state, area, box, kSubfixtureFontStyle, look.colour);
}
