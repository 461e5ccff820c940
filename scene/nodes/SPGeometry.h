// Base of the shelf-plan geometries (fixtures, subfixtures, products,
// floor sections, annotations): an object of a size in metres drawn as a
// box or a body shape, with edges, a label and the look the render area's
// shelf-plan settings give it.
//
// Passes: an opaque body is drawn in the main pass; a see-through body,
// the edges, peg holes, notches, facing lines and the label in the
// transparent pass the shape queues the geometry for; the shadow pass gets
// the body only; picking gets the whole box.
#pragma once

#include "scene/core/NodeFields.h"
#include "scene/model/Box3f.h"
#include "scene/model/MFields.h"
#include "scene/model/RefPtr.h"
#include "scene/model/SFields.h"
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/FontStyle.h"
#include "scene/nodes/Geometry.h"
#include "scene/nodes/ProblemNote.h"
#include "scene/nodes/SPLineShape.h"
#include "scene/nodes/ValueWatch.h"

#include <memory>
#include <string>

class CVText;

// Which of the render area's label font styles a kind uses by default.
enum CVDefaultFontStyle { kProductFontStyle, kFixtureFontStyle, kSubfixtureFontStyle, kAnnotationFontStyle };

class CVSPGeometry : public CVGeometry {
    LUMO_DECLARE_CLASS(CVSPGeometry)

public:
    ~CVSPGeometry() override;

    CVSFVec3f size;
    CVSFString shape;
    CVSFString id;
    CVSFString url;
    CVSFString type;
    CVSFString typeLabel;
    CVSFBool solid;
    CVSFBool outline;
    // A negative red takes the render area's outline colour.
    CVSFColor outlineColor;
    CVSFFloat outlineThickness;
    CVMFString label;
    CVMFString altLabel;
    CVMFString tooltip;
    CVSFInt32 assemblyId;
    CVSFNode<CVFontStyle> fontStyle{this};
    CVSFNode<CVBitmapFontStyle> bitmapFontStyle{this};

    // Kinds of subfixture (0 for every other kind).
    virtual int IsScannerPeg() const { return 0; }
    virtual int IsBasket() const { return 0; }

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // The size box about the origin.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;

    // The body made from 'shape' for an object of extent s (null for the
    // plain box), with the scale to draw it under. Line-shape bodies are
    // read once per shape name and kept; a name that failed to load is not
    // tried again until it changes.
    struct ShapeBody {
        CVGeometry* geometry = nullptr; // owned by the node
        float scale[3] = {1.0f, 1.0f, 1.0f};
    };
    ShapeBody GetShapeGeometry(CVGLRenderArea* area, const std::wstring& shapeName, const Point3fStruct& s, int solidBody);
    bool IsGeometryCached() const { return mLineShapeGeometry.get() != nullptr; }
    CVGeometry* GetCachedGeometry() const { return mLineShapeGeometry.get(); }
    void SetCachedGeometry(CVGeometry* geometry);

    // Six faces of the box of extent s about the origin, with polygon
    // offset; the texture repeats per face by the unit counts of its axes
    // (repeats may be null) and a multi-image texture gives each face its
    // image.
    void RenderSolidBox(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, const Point3fStruct& s,
                        const Point3fStruct* repeats);
    // The twelve edges of the box of extent s ('front' draws the front
    // rectangle again, on top).
    static void RenderOutline(const Point3fStruct& s, int front = 0);
    // The same edges as vertex pairs inside a glBegin(GL_LINES) of the
    // caller's, so that many boxes go to the driver in one batch.
    static void EmitBoxEdges(const Point3fStruct& s);
    // The edges of a body shape: the body drawn as lines.
    void RenderShapeOutline(CVState* state, CVGLRenderArea* area, const ShapeBody& body);
    static void DoPickBox(const Point3fStruct& s);
    // Edge width and colour from the fields and the area; returns the width.
    float SetLineWidthAndColor(CVGLRenderArea* area);
    // Whether a body of this colour is dark enough for light label text.
    static bool InvertColor(const RGBColorStruct& body);

    // The label's font style: the node's own (raster first), else the
    // area's default for the kind; 'own' tells which.
    CVBaseFontStyle* GetFontStyleNode(CVGLRenderArea* area, CVDefaultFontStyle which, int& own);
    // The label fitted to the front face of a box, in the given body
    // colour (the text turns light on a dark body).
    void RenderLabel(CVState* state, CVGLRenderArea* area, const CVBox3f& box, CVDefaultFontStyle which,
                     const RGBAColorStruct& colour);
    // The text the label is drawn with (made on first use).
    CVText* GetLabelText();

    // Whether the render area's settings (show level, cross-section view)
    // let this object draw.
    virtual bool IsShown(CVGLRenderArea* area) const = 0;

protected:
    CVSPGeometry();

    // What each kind draws; the base's Render calls them by pass.
    struct Look {
        // The body's colour (a material's diffuse colour, else the kind's);
        // labels stand on it.
        RGBAColorStruct colour{0.7f, 0.7f, 0.7f, 1.0f};
        bool ownColour = false;  // a material or texture colours the body
        bool transparent = false;
    };
    // The kind's colour in the area and whether the solid-fixture setting
    // applies to it.
    virtual RGBAColorStruct KindColour(CVGLRenderArea* area) const = 0;
    virtual bool FadesWithSolidFixtures(CVGLRenderArea*) const { return false; }
    virtual void RenderPickTarget(CVState* state, CVGLRenderArea* area);
    virtual void RenderBody(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, const Look& look);
    virtual void RenderEdges(CVState* state, CVGLRenderArea* area, const Look& look);
    // Peg holes, notches, facing lines, labels: after the edges.
    virtual void RenderExtras(CVState*, CVGLRenderArea*, const Look&) {}

    // The colour and transparency of the body (sets the current colour
    // unless a material or texture colours it).
    Look SetTransparency(CVGLRenderArea* area, CVAppearance* appearance);
    // The label text with the label's lines (read as rich-text markup when
    // asked), made again only when they change.
    CVText* UpdateLabelText(bool markup);
    // Whether the controller drags this object now (drawn see-through).
    bool HighlightDragDrop(CVGLRenderArea* area) const;
    // Whether the cross-section view hides it.
    bool HiddenByCrossSection(CVGLRenderArea* area) const;

private:
    std::unique_ptr<CVSPLineShape> mLineShape;
    CVRefPtr<CVGeometry> mLineShapeGeometry;
    // What a kept body was made from: its shape name, extent and variant
    // (solid or wire; the stipple pattern), compared on every draw.
    struct BodyKey {
        std::wstring name;
        float w = -1.0f, h = -1.0f, d = -1.0f;
        int variant = -1;
        bool operator==(const BodyKey& o) const
        {
            return w == o.w && h == o.h && d == o.d && variant == o.variant && name == o.name;
        }
    };
    std::wstring mLineShapeKey; // the shape name the segments came from
    BodyKey mLineShapeBuiltFor;
    bool mLineShapeFailed = false;
    CVProblemNote mShapeProblem;
    CVRefPtr<CVGeometry> mPrimitive;
    BodyKey mPrimitiveKey;
    CVRefPtr<CVText> mLabel;
    CVValueWatch mLabelWatch;
};

// Registers the fields every kind shares, after the kind's own; a kind
// without some of them (sections have no typeLabel, annotations only a
// few) names the ones it keeps.
enum CVSPCommonFields : unsigned {
    kSPAllFields = 0,
    kSPNoTypeLabel = 1,
    kSPAnnotationFields = 2,
};
template <class B>
void AddSPGeometryFields(B& builder, unsigned which)
{
    using G = CVSPGeometry;
    const bool annotation = which & kSPAnnotationFields;
    if (!annotation) {
        builder.Field(L"size", &G::size).Field(L"shape", &G::shape);
    }
    builder.Field(L"id", &G::id).Field(L"url", &G::url).Field(L"type", &G::type);
    if (!annotation && !(which & kSPNoTypeLabel))
        builder.Field(L"typeLabel", &G::typeLabel);
    if (!annotation)
        builder.Field(L"solid", &G::solid)
            .Field(L"outline", &G::outline)
            .Field(L"outlineColor", &G::outlineColor)
            .Field(L"outlineThickness", &G::outlineThickness);
    builder.Field(L"label", &G::label);
    if (!annotation)
        builder.Field(L"altLabel", &G::altLabel).Field(L"tooltip", &G::tooltip).Field(L"assemblyId", &G::assemblyId);
    builder.Field(L"fontStyle", &G::fontStyle).Field(L"bitmapFontStyle", &G::bitmapFontStyle);
}
