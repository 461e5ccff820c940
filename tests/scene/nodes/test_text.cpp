// Text drawn with both font styles: placement, sizes, depth, picking,
// fall-back faces and code points beyond the basic plane, and what it leaves
// behind in OpenGL and the caches.
#include "scene/actions/GetBoundingBoxAction.h"
#include "scene/cache/FontCacheElement.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/FontStyle.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Text.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"
#include "scene/text/FontFace.h"
#include "scene/text/TextString.h"
#include "scene/x3d/Parser.h"
#include "tests/support/SceneRender.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>

using lumo::test::OrthoCamera;
using lumo::test::Pixel;
using lumo::test::SceneRender;

namespace {

const Pixel kBlack{0, 0, 0};

// A camera holding its children, released at scope end.
struct Scene {
    CVCamera* camera;
    explicit Scene(CVCamera* c) : camera(c) { camera->Ref(); }
    ~Scene() { camera->Unref(); }
    Scene& Add(CVChild* child)
    {
        camera->children.Add(child);
        return *this;
    }
};

CVShape* TextShape(std::initializer_list<std::wstring> lines, CVBaseFontStyle* style, CVText** out = nullptr)
{
    auto* text = new CVText;
    for (const std::wstring& l : lines)
        text->string.Add(l);
    text->fontStyle.SetValue(style);
    auto* shape = new CVShape;
    shape->geometry.SetValue(text);
    if (out)
        *out = text;
    return shape;
}

void Justify(CVBaseFontStyle* s, const wchar_t* major, const wchar_t* minor)
{
    if (major)
        s->justify.Add(std::wstring(major));
    if (minor)
        s->justify.Add(std::wstring(minor));
}

// White antialiased raster text of a point size.
CVBitmapFontStyle* Raster(float points, const wchar_t* major = nullptr, const wchar_t* minor = nullptr)
{
    auto* s = new CVBitmapFontStyle;
    s->size.SetValue(points);
    s->opaque.SetValue(0);
    s->textColor.SetValue(1, 1, 1);
    Justify(s, major, minor);
    return s;
}

// White outline text of an em size.
CVFontStyle* Outline(float size, const wchar_t* major = nullptr, const wchar_t* minor = nullptr)
{
    auto* s = new CVFontStyle;
    s->size.SetValue(size);
    s->textColor.SetValue(1, 1, 1);
    Justify(s, major, minor);
    return s;
}

CVTransform* Moved(CVChild* child, float x, float y, float z)
{
    auto* t = new CVTransform;
    t->translation.SetValue(x, y, z);
    t->children.Add(child);
    return t;
}

// Renders one shape under an orthographic camera of view height 4 (25
// pixels a unit on a 100-pixel-high area; the origin at pixel (w/2, 50))
// and gives the ink's bounds.
std::array<int, 4> InkOf(CVChild* shape, int width = 200, float viewHeight = 4.0f)
{
    SceneRender r(width, 100);
    Scene scene(OrthoCamera(viewHeight));
    scene.Add(shape);
    EXPECT_EQ(r.Render(scene.camera), 1);
    return r.Bounds(kBlack);
}

} // namespace

TEST(RasterText, EndJustificationPutsTheInkLeftOfTheOrigin)
{
    auto end = InkOf(TextShape({L"Label"}, Raster(12, L"END")));
    ASSERT_GE(end[0], 0);
    EXPECT_LE(end[2], 100);
    EXPECT_LT(end[0], 80);
    auto begin = InkOf(TextShape({L"Label"}, Raster(12, L"BEGIN")));
    EXPECT_GE(begin[0], 100);
    auto middle = InkOf(TextShape({L"Label"}, Raster(12, L"MIDDLE")));
    EXPECT_LT(middle[0], 100);
    EXPECT_GT(middle[2], 100);
    EXPECT_NEAR((middle[0] + middle[2]) / 2.0, 100.0, 2.0);
}

TEST(OutlineText, EndJustificationPutsTheInkLeftOfTheOrigin)
{
    auto end = InkOf(TextShape({L"Label"}, Outline(1.0f, L"END")));
    ASSERT_GE(end[0], 0);
    EXPECT_LE(end[2], 100);
    EXPECT_LT(end[0], 60);
    auto begin = InkOf(TextShape({L"Label"}, Outline(1.0f, L"FIRST")));
    EXPECT_GE(begin[0], 100);
}

TEST(RasterText, KeepsItsPixelHeightWhenTheCameraZooms)
{
    auto near = InkOf(TextShape({L"Hg"}, Raster(14)), 200, 4.0f);
    auto far = InkOf(TextShape({L"Hg"}, Raster(14)), 200, 16.0f);
    ASSERT_GE(near[0], 0);
    EXPECT_EQ(near[3] - near[1], far[3] - far[1]);
    EXPECT_EQ(near[2] - near[0], far[2] - far[0]);
    // Under a perspective camera moved away, too.
    int heights[2];
    for (int i = 0; i < 2; ++i) {
        SceneRender r(200, 100);
        auto* camera = new CVPerspectiveCamera;
        camera->position.SetValue(0, 0, i == 0 ? 5.0f : 40.0f);
        camera->nearPlane.SetValue(1.0f);
        camera->farPlane.SetValue(100.0f);
        Scene scene(camera);
        scene.Add(TextShape({L"Hg"}, Raster(14)));
        r.Render(scene.camera);
        auto b = r.Bounds(kBlack);
        ASSERT_GE(b[0], 0);
        heights[i] = b[3] - b[1];
    }
    EXPECT_EQ(heights[0], heights[1]);
    // Outline text, by contrast, shrinks with the view.
    auto outlineNear = InkOf(TextShape({L"Hg"}, Outline(1.0f)), 200, 4.0f);
    auto outlineFar = InkOf(TextShape({L"Hg"}, Outline(1.0f)), 200, 8.0f);
    EXPECT_NEAR(outlineFar[3] - outlineFar[1], (outlineNear[3] - outlineNear[1]) / 2.0, 2.0);
}

TEST(OutlineText, HasTheDepthOfItsExtrusion)
{
    CVText* text = nullptr;
    auto* style = Outline(1.0f);
    style->extrusionDepth.SetValue(0.5f);
    Scene scene(OrthoCamera(4.0f));
    scene.Add(TextShape({L"Deep"}, style, &text));
    text->SetSelectableFlag(1);
    CVBox3f box;
    text->ComputeBoundingBox(nullptr, nullptr, &box);
    ASSERT_FALSE(box.IsEmpty());
    EXPECT_FLOAT_EQ(box.GetSize().z, 0.5f);
    EXPECT_FLOAT_EQ(box.GetCenter().z, -0.25f);

    // Seen from the side, the extruded text shows its sides; flat text
    // shows an edge.
    auto side = [](float depth) {
        auto* s = Outline(1.0f, L"MIDDLE", L"MIDDLE");
        s->extrusionDepth.SetValue(depth);
        auto* t = new CVTransform;
        t->rotation.SetValue(0, 1, 0, 1.4f);
        t->children.Add(TextShape({L"IIII"}, s));
        SceneRender r(100, 100);
        Scene scene(OrthoCamera(4.0f));
        scene.Add(t);
        r.Render(scene.camera);
        auto b = r.Bounds(kBlack);
        return b[0] < 0 ? 0 : b[2] - b[0] + 1;
    };
    EXPECT_GT(side(1.0f), side(0.0f) + 10);
}

TEST(OutlineText, ThreeLinesAndAnEmptyEntryAreCentredOnTheOrigin)
{
    CVText* text = nullptr;
    Scene scene(OrthoCamera(4.0f));
    scene.Add(TextShape({L"Ag", L"", L"Ag", L"Ag"}, Outline(1.0f), &text));
    text->SetSelectableFlag(1);
    CVBox3f box;
    text->ComputeBoundingBox(nullptr, nullptr, &box);
    CVVector min, max;
    box.ComputeMinMax(min, max);
    // Three lines 1.2 line heights apart, about the origin: symmetric but
    // for the ascent and descent of the top and bottom lines.
    std::shared_ptr<const CVFontFace> face = CVFontFace::Find(L"Cambria", 400, false);
    ASSERT_TRUE(face);
    float a = face->GetMetrics().ascent, d = face->GetMetrics().descent, h = a + d;
    EXPECT_NEAR(max.y, 1.2f * h + a, 1e-4);
    EXPECT_NEAR(min.y, -1.2f * h - d, 1e-4);
}

TEST(Unicode, CodePointsBeyondTheBasicPlaneDrawOrAreSkipped)
{
    // An emoji and a rare ideograph, as code points and as a UTF-16 pair.
    const std::wstring wide = L"A\U0001F600B\U00020000C";
    const std::wstring pair = std::wstring(L"A") + wchar_t(0xD83D) + wchar_t(0xDE00) + L"B";
    const std::wstring lone = std::wstring(L"A") + wchar_t(0xD83D) + L"B" + wchar_t(0x110000);
    for (const std::wstring& s : {wide, pair, lone}) {
        auto raster = InkOf(TextShape({s}, Raster(12)));
        auto plain = InkOf(TextShape({L"AB"}, Raster(12)));
        ASSERT_GE(raster[0], 0);
        EXPECT_GE(raster[2] - raster[0], plain[2] - plain[0]);
        auto outline = InkOf(TextShape({s}, Outline(0.5f)));
        auto outlinePlain = InkOf(TextShape({L"AB"}, Outline(0.5f)));
        ASSERT_GE(outline[0], 0);
        EXPECT_GE(outline[2] - outline[0], outlinePlain[2] - outlinePlain[0]);
    }
}

TEST(Unicode, CodePointsTheFaceLacksComeFromAFallBackFace)
{
    std::shared_ptr<const CVFontFace> face = CVFontFace::Find(L"Cambria", 400, false);
    ASSERT_TRUE(face);
    EXPECT_EQ(face->ForCodePoint(U'A').get(), face.get());
    // A snowman: not in the serif face, in DejaVu (which the project installs).
    if (face->HasGlyph(U'\u2603'))
        GTEST_SKIP() << "the default face has the glyph";
    std::shared_ptr<const CVFontFace> other = face->ForCodePoint(U'\u2603');
    ASSERT_TRUE(other);
    EXPECT_NE(other.get(), face.get());
    EXPECT_TRUE(other->HasGlyph(U'\u2603'));
    EXPECT_GT(face->MeasureRun(U"\u2603"), 0.0f);
}

TEST(Fonts, AMissingFamilyFallsBackToTheDefaultFace)
{
    std::shared_ptr<const CVFontFace> missing = CVFontFace::Find(L"No Such Family 5150", 400, false);
    std::shared_ptr<const CVFontFace> fallback = CVFontFace::Find(L"", 400, false);
    ASSERT_TRUE(missing);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(missing->GetFile(), fallback->GetFile());
    EXPECT_EQ(missing->GetFamily(), "Caladea");
    // The default faces' names find their metric-compatible stand-ins.
    EXPECT_EQ(CVFontFace::Find(L"Calibri", 400, false)->GetFamily(), "Carlito");
    EXPECT_EQ(CVFontFace::Find(L"Consolas", 400, false)->GetFamily(), "DejaVu Sans Mono");
    std::shared_ptr<const CVFontFace> bold = CVFontFace::Find(L"Cambria", 700, true);
    ASSERT_TRUE(bold);
    EXPECT_NE(bold->GetFile(), fallback->GetFile());

    // Drawn, the missing family looks exactly like the default one.
    auto styled = [](const wchar_t* family) {
        auto* s = Raster(12);
        s->family.SetValue(family);
        return s;
    };
    SceneRender a(200, 100), b(200, 100);
    Scene sa(OrthoCamera(4.0f)), sb(OrthoCamera(4.0f));
    sa.Add(TextShape({L"Fallback"}, styled(L"No Such Family 5150")));
    sb.Add(TextShape({L"Fallback"}, styled(L"SERIF")));
    a.Render(sa.camera);
    b.Render(sb.camera);
    int differ = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            differ += a.At(x, y) != b.At(x, y);
    EXPECT_EQ(differ, 0);
    EXPECT_GT(a.Count(Pixel{255, 255, 255}, 60), 20);
}

TEST(TextExtents, GrowWithTheString)
{
    CVGLRenderArea* area = nullptr;
    SceneRender r(100, 100);
    area = r.Area();
    ASSERT_TRUE(area->MakeCurrent());
    auto* raster = Raster(12);
    auto* outline = Outline(1.0f);
    raster->Ref();
    outline->Ref();
    float lastRaster = 0, lastOutline = 0;
    for (const wchar_t* s : {L"W", L"Wi", L"Wid", L"Wide", L"Wider than that"}) {
        TextSizeStruct pixels, world;
        raster->GetTextSizeDC(std::wstring(s), pixels, area);
        outline->GetTextSize(s, world, area);
        EXPECT_GT(pixels.width, lastRaster) << s;
        EXPECT_GT(world.width, lastOutline) << s;
        EXPECT_GT(pixels.ascent, 0.0f);
        EXPECT_GT(world.ascent, 0.0f);
        lastRaster = pixels.width;
        lastOutline = world.width;
    }
    // Lines add height; the widest line gives the width.
    TextSizeStruct one, two;
    raster->GetTextSizeDC(std::wstring(L"Wide"), one, area);
    raster->GetTextSizeDC(std::wstring(L"Wide^[n]^W"), two, area);
    EXPECT_EQ(two.width, one.width);
    EXPECT_GT(two.ascent + two.descent, 1.5f * (one.ascent + one.descent));
    raster->Unref();
    outline->Unref();
}

TEST(TextExtents, OnlySelectableTextWidensTheSceneBox)
{
    SceneRender r(100, 100);
    CVText* text = nullptr;
    auto* group = new CVGroup;
    group->Ref();
    group->children.Add(TextShape({L"Label text"}, Outline(1.0f), &text));
    CVGetBoundingBoxAction boxes(r.Area());
    boxes.Apply(group);
    EXPECT_TRUE(boxes.GetBoundingBox().IsEmpty());
    text->SetSelectableFlag(1);
    boxes.Apply(group);
    ASSERT_FALSE(boxes.GetBoundingBox().IsEmpty());
    float width = boxes.GetBoundingBox().GetSize().x;
    text->string.SetAt(0, L"Label text, longer");
    boxes.Apply(group);
    EXPECT_GT(boxes.GetBoundingBox().GetSize().x, width);
    group->Unref();
}

TEST(FontStyles, LogicalFontsFromTheFields)
{
    CVFontStyle s;
    LOGFONTW f = s.GetLogfont();
    EXPECT_EQ(lumo::text::GetFaceName(f.lfFaceName), L"Cambria");
    EXPECT_EQ(f.lfHeight, -12);
    EXPECT_EQ(f.lfWeight, 400);
    EXPECT_EQ(f.lfPitchAndFamily, 16);
    s.family.SetValue(L"SANS");
    f = s.GetLogfont();
    EXPECT_EQ(lumo::text::GetFaceName(f.lfFaceName), L"Calibri");
    EXPECT_EQ(f.lfHeight, -14); // size 1 keeps the family's height
    s.size.SetValue(12.0f);
    EXPECT_EQ(s.GetLogfont().lfHeight, -16); // 12 points at 96 pixels per inch
    s.family.SetValue(L"TYPEWRITER");
    EXPECT_EQ(lumo::text::GetFaceName(s.GetLogfont().lfFaceName), L"Consolas");
    s.family.SetValue(L"Liberation Mono");
    EXPECT_EQ(lumo::text::GetFaceName(s.GetLogfont().lfFaceName), L"Liberation Mono");
    for (const wchar_t* style : {L"BOLDITALIC", L"ITALIC BOLD", L"ITALICBOLD"}) {
        s.style.SetValue(style);
        EXPECT_EQ(s.GetLogfont().lfWeight, 700) << style;
        EXPECT_EQ(s.GetLogfont().lfItalic, 1) << style;
    }
    s.style.SetValue(L"UNDERLINESTRIKE");
    EXPECT_EQ(s.GetLogfont().lfUnderline, 1);
    EXPECT_EQ(s.GetLogfont().lfStrikeOut, 1);
    EXPECT_EQ(s.GetLogfont().lfWeight, 400);
    s.horizontal.SetValue(0);
    EXPECT_EQ(s.GetLogfont().lfEscapement, 900);
    EXPECT_EQ(s.GetLogfont().lfOrientation, 900);
    // Sizes are bounded: the largest height, and one point past it.
    s.size.SetValue(1500.0f);
    EXPECT_EQ(s.GetLogfont().lfHeight, -CVBaseFontStyle::kMaxFontHeight);
    s.size.SetValue(1501.0f);
    EXPECT_EQ(s.GetLogfont().lfHeight, -CVBaseFontStyle::kMaxFontHeight);
    s.size.SetValue(1499.0f);
    EXPECT_EQ(s.GetLogfont().lfHeight, -1999);
    s.size.SetValue(1e9f);
    EXPECT_EQ(s.GetLogfont().lfHeight, -CVBaseFontStyle::kMaxFontHeight);
    s.size.SetValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(s.GetLogfont().lfHeight, -12); // a face name's default height
    // An explicit font wins, its height made negative.
    LOGFONTW mine{};
    mine.lfHeight = 20;
    lumo::text::SetFaceName(mine.lfFaceName, L"Carlito");
    s.SetFont(&mine);
    EXPECT_EQ(s.GetLogfont().lfHeight, -20);
    EXPECT_EQ(lumo::text::GetFaceName(s.GetLogfont().lfFaceName), L"Carlito");
    s.SetFont(nullptr);
    EXPECT_EQ(lumo::text::GetFaceName(s.GetLogfont().lfFaceName), L"Liberation Mono");
}

TEST(RasterText, AntialiasingAndPixelHeights)
{
    CVBitmapFontStyle s;
    auto* text = new CVText;
    text->Ref();
    LOGFONTW f = s.GetLogfont();
    EXPECT_EQ(s.IsAntialiasedText(text, f), 0); // opaque by default
    s.opaque.SetValue(0);
    EXPECT_EQ(s.IsAntialiasedText(text, f), 1);
    f.lfEscapement = 900;
    EXPECT_EQ(s.IsAntialiasedText(text, f), 1);
    f.lfEscapement = -900; // 2700
    EXPECT_EQ(s.IsAntialiasedText(text, f), 1);
    f.lfEscapement = 450;
    EXPECT_EQ(s.IsAntialiasedText(text, f), 0);
    f.lfOrientation = 450;
    EXPECT_EQ(s.IsAntialiasedText(text, f), 1);
    text->SetAntialiasedFlag(0);
    EXPECT_EQ(s.IsAntialiasedText(text, f), 0);

    SceneRender r(100, 120);
    CVGLRenderArea* area = r.Area();
    ASSERT_TRUE(area->MakeCurrent());
    EXPECT_EQ(s.ComputeLogfontHeight(-16, area, 0), -17); // viewport font scaling off: one more
    area->SetViewportFontScalingEnabled(1);
    EXPECT_EQ(s.ComputeLogfontHeight(-16, area, 0), -16);
    area->SetViewportFontScaleFactor(2.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScalef(3.0f, 3.0f, 3.0f);
    EXPECT_EQ(s.ComputeLogfontHeight(-10, area, 1), -60); // model-view 3 times, font scale 2
    s.SetScaleWithView(0);
    EXPECT_EQ(s.ComputeLogfontHeight(-10, area, 1), -20);
    area->SetViewportFontScaleFactor(0.0f);
    EXPECT_EQ(s.ComputeLogfontHeight(-10, area, 1), 0); // draws nothing
    area->SetViewportFontScaleFactor(1e30f);
    EXPECT_EQ(s.ComputeLogfontHeight(-10, area, 1), -CVBaseFontStyle::kMaxFontHeight);
    glPopMatrix();
    text->Unref();
}

TEST(RasterText, AHugeSizeDrawsFromBoundedGlyphs)
{
    SceneRender r(200, 100);
    auto* style = Raster(1e9f);
    Scene scene(OrthoCamera(4.0f));
    scene.Add(TextShape({L"Huge"}, style));
    ASSERT_EQ(r.Render(scene.camera), 1);
    CVCache* cache = r.Area()->GetFontCache();
    ASSERT_EQ(cache->GetCount(), 1);
    auto* set = dynamic_cast<CVBitmapFontCacheElement*>(cache->GetAt(0));
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->GetPixelSize(), CVFontFace::kMaxPixelSize);
    EXPECT_LE(set->GetMemoryBytes(), std::size_t(CVBitmapFontCacheElement::kMaxPages) * 2048 * 2048 + 65536);
    EXPECT_GT(set->GetGlyphCount(), 0u);
}

TEST(RasterText, UprightTextSwapsItsWidthAndHeight)
{
    SceneRender r(100, 200);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    auto* style = Raster(12);
    style->Ref();
    TextSizeStruct level, upright;
    style->GetTextSizeDC(std::wstring(L"Upright"), level, r.Area());
    style->horizontal.SetValue(0);
    style->GetTextSizeDC(std::wstring(L"Upright"), upright, r.Area());
    EXPECT_FLOAT_EQ(upright.width, level.ascent + level.descent);
    EXPECT_FLOAT_EQ(upright.ascent + upright.descent, level.width);
    Scene scene(OrthoCamera(8.0f));
    scene.Add(TextShape({L"Upright"}, style));
    r.Render(scene.camera);
    auto b = r.Bounds(kBlack);
    ASSERT_GE(b[0], 0);
    EXPECT_GT(b[3] - b[1], 2 * (b[2] - b[0]));
    // Turned by 45 degrees as a whole: as tall as wide.
    LOGFONTW turned = style->GetLogfont();
    turned.lfEscapement = turned.lfOrientation = 450;
    style->SetFont(&turned);
    r.Render(scene.camera);
    b = r.Bounds(kBlack);
    ASSERT_GE(b[0], 0);
    EXPECT_NEAR(double(b[3] - b[1]), double(b[2] - b[0]), 8.0);
    EXPECT_GT(b[2] - b[0], int(level.ascent + level.descent) + 10);
    style->Unref();
}

TEST(RasterText, OpaqueTextSitsOnItsBackgroundWithAMargin)
{
    auto* style = new CVBitmapFontStyle;
    style->size.SetValue(12.0f);
    style->backColor.SetValue(0, 0, 1);
    style->textColor.SetValue(1, 1, 0);
    SceneRender r(200, 100);
    Scene scene(OrthoCamera(4.0f));
    scene.Add(TextShape({L"Boxed"}, style));
    r.Render(scene.camera);
    auto box = r.Bounds(kBlack);
    // The box starts at the origin (BEGIN) and holds the text inside the margin.
    EXPECT_EQ(box[0], 100);
    EXPECT_EQ(r.At(101, box[1] + 1), (Pixel{0, 0, 255}));
    EXPECT_GT(r.Count(Pixel{255, 255, 0}, 8), 20);
    int ink = 0;
    for (int y = box[1]; y <= box[3]; ++y)
        for (int x = box[0]; x < box[0] + 4; ++x)
            ink += lumo::test::Near(r.At(x, y), Pixel{255, 255, 0}, 60);
    EXPECT_EQ(ink, 0); // nothing of the text in the margin
}

namespace {

// Picks at window pixel (x, y) (y from the top) through the camera's stored
// projection; returns the names of the hit records.
std::vector<std::vector<GLuint>> PickAt(SceneRender& r, CVCamera* camera, int x, int y)
{
    EXPECT_TRUE(r.Area()->MakeCurrent());
    GLuint buffer[512];
    glSelectBuffer(512, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x + 0.5, r.Height() - y - 0.5, 1, 1, vp);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    CVState state;
    state.m_bPickMode = 1;
    camera->Render(&state, r.Area()); // its projection after the pick matrix, and its view
    for (int i = 0; i < camera->children.GetNum(); ++i)
        camera->children[i]->Render(&state, r.Area());
    GLint hits = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    std::vector<std::vector<GLuint>> records;
    for (GLint i = 0, at = 0; i < hits; ++i) {
        GLuint names = buffer[at];
        records.emplace_back(buffer + at + 3, buffer + at + 3 + names);
        at += 3 + int(names);
    }
    return records;
}

} // namespace

TEST(Picking, RasterTextIsHitAnywhereInItsBox)
{
    SceneRender r(200, 100);
    CVText* text = nullptr;
    auto* style = new CVBitmapFontStyle; // opaque: a background box
    style->size.SetValue(12.0f);
    Scene scene(OrthoCamera(4.0f));
    scene.Add(TextShape({L"i        i"}, style, &text));
    EXPECT_TRUE(PickAt(r, scene.camera, 140, 45).empty()); // not selectable
    text->SetSelectableFlag(1);
    r.Render(scene.camera);
    auto box = r.Bounds(kBlack);
    // Between the two letters, where no glyph lies, and in the margin.
    EXPECT_EQ(PickAt(r, scene.camera, (box[0] + box[2]) / 2, (box[1] + box[3]) / 2).size(), 1u);
    EXPECT_EQ(PickAt(r, scene.camera, box[0] + 1, box[1] + 1).size(), 1u);
    EXPECT_TRUE(PickAt(r, scene.camera, box[2] + 3, (box[1] + box[3]) / 2).empty());
    EXPECT_TRUE(PickAt(r, scene.camera, box[0] - 3, (box[1] + box[3]) / 2).empty());
}

TEST(Picking, OutlineTextNamesTheLineUnderTheAperture)
{
    SceneRender r(200, 100);
    CVText* text = nullptr;
    Scene scene(OrthoCamera(4.0f));
    // Entry 1 is empty and takes no line: the lower line is entry 2.
    scene.Add(TextShape({L"HHHH", L"", L"HHHH"}, Outline(0.8f, L"MIDDLE"), &text));
    text->SetSelectableFlag(1);
    r.Render(scene.camera);
    auto ink = r.Bounds(kBlack);
    // Through the first letter's stem.
    auto top = PickAt(r, scene.camera, ink[0] + 2, ink[1] + 3);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].back(), 0u);
    auto bottom = PickAt(r, scene.camera, ink[0] + 2, ink[3] - 3);
    ASSERT_EQ(bottom.size(), 1u);
    EXPECT_EQ(bottom[0].back(), 2u);
    CVDetail* detail = text->GetPickDetail(bottom[0].back());
    auto* t = dynamic_cast<CVTextDetail*>(detail);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetLineNumber(), 2u);
    EXPECT_EQ(t->GetGeometry(), text);
    delete detail;
}

TEST(RichText, FragmentsDrawTheirOwnFontsColoursAndLines)
{
    auto markup = [](const wchar_t* m) {
        CVMFString strings;
        strings.Add(std::wstring(m));
        std::vector<CVRichTextFragment> fragments;
        CVParser::GetHTMLString(strings, &fragments);
        auto* text = new CVText;
        text->string.Clone(strings);
        text->SetRichTextFragments(fragments);
        text->fontStyle.SetValue(Raster(12));
        auto* shape = new CVShape;
        shape->geometry.SetValue(text);
        return shape;
    };
    auto plain = InkOf(markup(L"<TEXTFORMAT>Width test</TEXTFORMAT>"));
    auto bold = InkOf(markup(L"<TEXTFORMAT><B>Width test</B></TEXTFORMAT>"));
    EXPECT_GT(bold[2] - bold[0], plain[2] - plain[0]);
    auto large = InkOf(markup(L"<TEXTFORMAT><FONT SIZE=\"24\">Width test</FONT></TEXTFORMAT>"));
    EXPECT_GT(large[3] - large[1], 1.5 * (plain[3] - plain[1]));
    // A list item ends its line.
    auto items = InkOf(markup(L"<TEXTFORMAT><LI>one</LI><LI>two</LI></TEXTFORMAT>"));
    auto oneLine = InkOf(markup(L"<TEXTFORMAT>one two</TEXTFORMAT>"));
    EXPECT_GT(items[3] - items[1], 1.5 * (oneLine[3] - oneLine[1]));
    EXPECT_LT(items[2] - items[0], oneLine[2] - oneLine[0]);

    SceneRender r(200, 100);
    Scene scene(OrthoCamera(4.0f));
    scene.Add(markup(L"<TEXTFORMAT>white <FONT COLOR=\"#FF0000\">red</FONT></TEXTFORMAT>"));
    r.Render(scene.camera);
    EXPECT_GT(r.Count(Pixel{255, 0, 0}, 40), 5);
    EXPECT_GT(r.Count(Pixel{255, 255, 255}, 40), 5);
}

TEST(TextState, DrawingTextLeavesOpenGLAsItWas)
{
    SceneRender r(100, 100);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    CVState state;
    state.m_nRenderPass = PASS_MAIN;
    auto snapshot = [] {
        GLint v[8];
        glGetIntegerv(GL_MATRIX_MODE, &v[0]);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &v[1]);
        glGetIntegerv(GL_LIST_BASE, &v[2]);
        glGetIntegerv(GL_DEPTH_WRITEMASK, &v[3]);
        v[4] = glIsEnabled(GL_BLEND);
        v[5] = glIsEnabled(GL_LIGHTING) + 2 * glIsEnabled(GL_CULL_FACE) + 4 * glIsEnabled(GL_TEXTURE_2D);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &v[6]);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &v[7]);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        return std::vector<double>{double(v[0]), double(v[1]), double(v[2]), double(v[3]), double(v[4]),
                                   double(v[5]), double(v[6]), double(v[7]), colour[0], colour[1], colour[2]};
    };
    glColor3f(0.25f, 0.5f, 0.75f);
    auto before = snapshot();
    for (CVBaseFontStyle* style : std::initializer_list<CVBaseFontStyle*>{Raster(12), Outline(1.0f), new CVBitmapFontStyle}) {
        CVShape* shape = TextShape({L"State", L"two"}, style);
        shape->Ref();
        auto* text = static_cast<CVText*>(shape->geometry.GetValue());
        text->SetDropShadowFlag(1); // the raster shadow too
        text->Render(&state, r.Area(), nullptr);
        EXPECT_EQ(snapshot(), before) << style->GetRuntimeClass()->m_lpszClassName;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        shape->Unref();
    }
}

TEST(GlyphSets, StylesWithOneFontShareASetThatGoesWithTheLastOfThem)
{
    SceneRender r(200, 100);
    {
        Scene scene(OrthoCamera(4.0f));
        scene.Add(TextShape({L"one"}, Raster(12))).Add(Moved(TextShape({L"two"}, Raster(12)), 0, 1, 0));
        scene.Add(TextShape({L"three"}, Outline(0.5f))).Add(TextShape({L"four"}, Outline(0.5f)));
        r.Render(scene.camera);
        EXPECT_EQ(r.Area()->GetFontCache()->GetCount(), 2);
    }
    EXPECT_EQ(r.Area()->GetFontCache()->GetCount(), 0);
}

TEST(GlyphSets, AreBoundedPerFont)
{
    SceneRender r(64, 64);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    LOGFONTW font{};
    font.lfHeight = -10;
    font.lfWeight = 400;
    lumo::text::SetFaceName(font.lfFaceName, L"Cambria");
    CVCacheUser user;
    CVBitmapFontCacheElement* raster = lumo::UseBitmapFont(r.Area(), user, font);
    CVOutlineFontCacheElement* outline =
        lumo::UseOutlineFont(r.Area(), user, font, CVOutlineFontCacheElement::POLYGONS, 60.0f, 0.0f);
    ASSERT_NE(raster, nullptr);
    ASSERT_NE(outline, nullptr);
    // Code points with and without glyphs count alike.
    const char32_t first = 0x4E00;
    for (char32_t c = first; c < first + CVFontCacheElement::kMaxGlyphs; ++c) {
        raster->GetGlyph(c);
        outline->GetGlyph(c, false);
    }
    EXPECT_EQ(raster->GetGlyphCount(), CVFontCacheElement::kMaxGlyphs);
    EXPECT_EQ(outline->GetGlyphCount(), CVFontCacheElement::kMaxGlyphs);
    EXPECT_EQ(raster->GetGeneration(), 0u);
    EXPECT_EQ(outline->GetGeneration(), 0u);
    raster->GetGlyph(U'A');
    outline->GetGlyph(U'A', true);
    EXPECT_EQ(raster->GetGlyphCount(), 1u);
    EXPECT_EQ(outline->GetGlyphCount(), 1u);
    EXPECT_EQ(raster->GetGeneration(), 1u);
    EXPECT_EQ(outline->GetGeneration(), 1u);
    EXPECT_GE(raster->GetGlyph(U'A').page, 0);
}

TEST(LabelStyles, TheRenderAreaMakesThemOnceAndHoldsThem)
{
    SceneRender r(64, 64);
    CVGLRenderArea* area = r.Area();
    CVFontStyle* stroke = area->GetStrokeFontStyle();
    ASSERT_NE(stroke, nullptr);
    EXPECT_EQ(area->GetStrokeFontStyle(), stroke);
    EXPECT_FLOAT_EQ(stroke->size.GetValue(), 0.1f);
    EXPECT_EQ(stroke->GetLogfont().lfWeight, 700);
    EXPECT_EQ(stroke->GetJustify(0), CVBaseFontStyle::MIDDLE);
    EXPECT_EQ(stroke->GetJustify(1), CVBaseFontStyle::MIDDLE);
    CVBitmapFontStyle* product = area->GetProductFontStyle();
    CVBitmapFontStyle* fixture = area->GetFixtureFontStyle();
    CVBitmapFontStyle* subfixture = area->GetSubfixtureFontStyle();
    EXPECT_NE(product, fixture);
    EXPECT_NE(fixture, subfixture);
    for (CVBitmapFontStyle* s : {product, fixture, subfixture}) {
        EXPECT_EQ(s->GetOpenGLBitmapText(), 1);
        EXPECT_EQ(s->language.GetValue(), L"BESTFIT");
        EXPECT_EQ(s->opaque.GetValue(), 1);
        EXPECT_EQ(s->GetScaleWithView(), 0);
        EXPECT_EQ(s->GetJustify(0), CVBaseFontStyle::MIDDLE);
    }
    CVBitmapFontStyle* annotation = area->GetAnnotationFontStyle();
    EXPECT_EQ(annotation->GetOpenGLBitmapText(), 0);
    EXPECT_EQ(annotation->opaque.GetValue(), 0);
    EXPECT_EQ(annotation->GetScaleWithView(), 1);
    EXPECT_EQ(annotation->GetJustify(0), CVBaseFontStyle::BEGIN);
    EXPECT_EQ(annotation->GetJustify(1), CVBaseFontStyle::BEGIN);
    EXPECT_EQ(annotation->GetRef(), 1); // the area's reference only
}
