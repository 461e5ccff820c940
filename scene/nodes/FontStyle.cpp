#include "scene/nodes/FontStyle.h"

#include "scene/cache/CacheManager.h"
#include "scene/core/State.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/Text.h"
#include "scene/render/GLRenderArea.h"
#include "scene/text/FontFace.h"
#include "scene/text/TextString.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

LUMO_IMPLEMENT_NODE(CVFontStyle, CVBaseFontStyle)

namespace {

// Sets a style found last is remembered for; past this the style lets all
// go and finds them again.
constexpr std::size_t kMaxRememberedSets = 8;
// Flat text is thinner than this.
constexpr float kFlat = 1e-7f;

std::shared_ptr<const CVFontFace> FaceOf(const LOGFONTW& font)
{
    return CVFontFace::Find(lumo::text::GetFaceName(font.lfFaceName), font.lfWeight, font.lfItalic != 0);
}

// A run's size relative to the style's font.
float RunScale(const LOGFONTW& run, const LOGFONTW& base)
{
    if (run.lfHeight == base.lfHeight || base.lfHeight == 0)
        return 1.0f;
    return float(std::abs(run.lfHeight)) / float(std::abs(base.lfHeight));
}

std::u32string RunText(const CVTextRun& run, bool leftToRight)
{
    if (leftToRight)
        return run.text;
    return std::u32string(run.text.rbegin(), run.text.rend());
}

} // namespace

CVFontStyle::CVFontStyle()
{
    family.SetValue(L"SERIF");
    style.SetValue(L"PLAIN");
    fill.SetValue(1);
    deviation.SetValue(60.0f);
}

void CVFontStyle::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVFontStyle>(L"FontStyle")
        .Field(L"family", &CVFontStyle::family)
        .Field(L"horizontal", &CVFontStyle::horizontal)
        .Field(L"justify", &CVFontStyle::justify)
        .Field(L"language", &CVFontStyle::language)
        .Field(L"leftToRight", &CVFontStyle::leftToRight)
        .Field(L"size", &CVFontStyle::size)
        .Field(L"spacing", &CVFontStyle::spacing)
        .Field(L"style", &CVFontStyle::style)
        .Field(L"topToBottom", &CVFontStyle::topToBottom)
        .Field(L"textColor", &CVFontStyle::textColor)
        .Field(L"extrusionDepth", &CVFontStyle::extrusionDepth)
        .Field(L"fill", &CVFontStyle::fill)
        .Field(L"deviation", &CVFontStyle::deviation);
}

float CVFontStyle::GetSizeScaleFactor() const { return size.GetValue(); }

float CVFontStyle::Extrusion() const
{
    float d = extrusionDepth.GetValue();
    return std::isfinite(d) ? std::clamp(d, 0.0f, kMaxExtrusion) : 0.0f;
}

float CVFontStyle::Deviation() const
{
    float d = deviation.GetValue();
    return std::isfinite(d) ? std::clamp(d, 1.0f, kMaxDeviation) : 60.0f;
}

CVOutlineFontCacheElement* CVFontStyle::GlyphSet(CVGLRenderArea* area, const LOGFONTW& font)
{
    int format = fill.GetValue() ? CVOutlineFontCacheElement::POLYGONS : CVOutlineFontCacheElement::LINES;
    float dev = Deviation(), ext = Extrusion();
    std::uint64_t group = lumo::CurrentListSpace();
    CVCacheUser& user = GetCacheUser();
    // Sets made another way than the style now asks are let go: a style
    // holds only what it draws with.
    for (const SetEntry& e : mSets)
        if (e.format != format || e.deviation != dev || e.extrusion != ext) {
            user.Release();
            mSets.clear();
            break;
        }
    for (const SetEntry& e : mSets)
        if (e.group == group && std::memcmp(&e.font, &font, sizeof font) == 0 && user.Uses(e.set) &&
            std::memcmp(&e.set->GetLogFont(), &font, sizeof font) == 0)
            return e.set;
    if (mSets.size() >= kMaxRememberedSets) {
        user.Release();
        mSets.clear();
    }
    CVOutlineFontCacheElement* set = lumo::UseOutlineFont(area, user, font, format, dev, ext);
    if (set) {
        mSets.erase(std::remove_if(mSets.begin(), mSets.end(),
                                   [&](const SetEntry& e) {
                                       return e.group == group && std::memcmp(&e.font, &font, sizeof font) == 0;
                                   }),
                    mSets.end());
        mSets.push_back(SetEntry{font, format, dev, ext, group, set});
    }
    return set;
}

CVOutlineFontCacheElement* CVFontStyle::MakeGlyphDisplayLists(CVGLRenderArea* area)
{
    if (!area)
        return nullptr;
    LOGFONTW font = GetLogfont();
    font.lfUnderline = font.lfStrikeOut = 0;
    font.lfEscapement = font.lfOrientation = 0;
    return GlyphSet(area, font);
}

void CVFontStyle::GetTextSize(const std::wstring& line, TextSizeStruct& out, CVGLRenderArea*)
{
    out = TextSizeStruct();
    float s = GetSizeScaleFactor();
    std::shared_ptr<const CVFontFace> face = FaceOf(GetLogfont());
    if (!face || !std::isfinite(s))
        return;
    std::vector<std::wstring> parts;
    lumo::text::SplitLines(line, parts);
    out.width = (parts.empty() ? 0.0f : face->MeasureRun(lumo::text::ToCodePoints(parts[0]))) * s;
    out.ascent = face->GetMetrics().ascent * s;
    out.descent = face->GetMetrics().descent * s;
}

bool CVFontStyle::Layout(CVText* text, const LOGFONTW& base, std::vector<const CVTextLine*>& lines,
                         std::vector<LineBox>& boxes)
{
    lines.clear();
    boxes.clear();
    float s = GetSizeScaleFactor();
    if (!text || !std::isfinite(s) || !(s > 0.0f))
        return false;
    // Only lines with text count: an empty entry takes no line.
    for (const CVTextLine& line : text->GetLines(base))
        if (!line.Empty())
            lines.push_back(&line);
    if (lines.empty())
        return false;
    if (!topToBottom.GetValue())
        std::reverse(lines.begin(), lines.end());
    const bool ltr = leftToRight.GetValue() != 0;
    float tallest = 0.0f;
    for (const CVTextLine* line : lines) {
        LineBox box;
        for (const CVTextRun& run : line->runs) {
            std::shared_ptr<const CVFontFace> face = FaceOf(run.font);
            if (!face)
                continue;
            float scale = RunScale(run.font, base) * s;
            box.width += face->MeasureRun(RunText(run, ltr)) * scale;
            box.ascent = std::max(box.ascent, face->GetMetrics().ascent * scale);
            box.descent = std::max(box.descent, face->GetMetrics().descent * scale);
        }
        tallest = std::max(tallest, box.ascent + box.descent);
        boxes.push_back(box);
    }
    const float n = float(lines.size());
    const float step = 1.2f * tallest * GetLineSpacing();
    const float maxWidth = text->GetMaxWidth();
    Justify major = GetJustify(0), minor = GetJustify(1);
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        LineBox& b = boxes[k];
        if (maxWidth > 0.0f && b.width > maxWidth) {
            b.squeeze = maxWidth / b.width;
            b.width = maxWidth;
        }
        // Lines centred about the origin, 1.2 line heights apart.
        b.y = step * (0.5f * (n - 1.0f) - float(k));
        if (major == END)
            b.x = -b.width;
        else if (major == MIDDLE || major == OTHER)
            b.x = -0.5f * b.width;
        float h = b.ascent + b.descent;
        if (minor == BEGIN)
            b.y -= b.ascent;
        else if (minor == MIDDLE)
            b.y -= 0.5f * h - b.descent;
        else if (minor == END)
            b.y += b.descent;
    }
    return true;
}

void CVFontStyle::DrawLine(const CVTextLine& line, const LineBox& box, const LOGFONTW& base, CVGLRenderArea* area,
                           bool picking, bool shadow)
{
    const bool ltr = leftToRight.GetValue() != 0;
    const float s = GetSizeScaleFactor();
    const float depth = Extrusion();
    const bool polygons = fill.GetValue() != 0;
    glPushMatrix();
    glTranslatef(box.x, box.y, 0.0f);
    glScalef(s * box.squeeze, s, 1.0f);
    std::vector<GLuint> lists;
    std::vector<std::shared_ptr<const CVGlyphMesh>> meshes;
    for (const CVTextRun& run : line.runs) {
        if (run.text.empty())
            continue;
        float scale = RunScale(run.font, base);
        LOGFONTW key = run.font;
        // The glyphs' shapes do not depend on these; one set serves all.
        key.lfHeight = base.lfHeight;
        key.lfUnderline = key.lfStrikeOut = 0;
        key.lfEscapement = key.lfOrientation = 0;
        CVOutlineFontCacheElement* set = GlyphSet(area, key);
        if (!set)
            continue;
        std::u32string codes = RunText(run, ltr);
        float advance = 0.0f;
        // A set emptied while the run's glyphs are gathered (it was full)
        // may have dropped those gathered first: gather once more.
        for (int attempt = 0; attempt < 2; ++attempt) {
            unsigned generation = set->GetGeneration();
            lists.clear();
            meshes.clear();
            advance = 0.0f;
            for (char32_t c : codes) {
                const CVOutlineGlyph& g = set->GetGlyph(c, !picking);
                lists.push_back(g.list);
                meshes.push_back(g.mesh);
                advance += g.metrics.gmfCellIncX;
            }
            if (set->GetGeneration() == generation)
                break;
        }
        if (run.colorSet && !picking && !shadow)
            glColor3ub(GetRValue(run.color), GetGValue(run.color), GetBValue(run.color));
        glPushMatrix();
        glScalef(scale, scale, 1.0f);
        if (polygons && (run.font.lfUnderline || run.font.lfStrikeOut)) {
            const CVFontFace* face = set->GetFace();
            CVFontMetrics m = face ? face->GetMetrics() : CVFontMetrics();
            auto bar = [&](float top, float thickness) {
                glNormal3f(0.0f, 0.0f, 1.0f);
                glBegin(GL_QUADS);
                glVertex3f(0.0f, top - thickness, 0.0f);
                glVertex3f(advance, top - thickness, 0.0f);
                glVertex3f(advance, top, 0.0f);
                glVertex3f(0.0f, top, 0.0f);
                glEnd();
            };
            if (run.font.lfUnderline)
                bar(-m.underlinePosition + 0.5f * m.underlineThickness, m.underlineThickness);
            if (run.font.lfStrikeOut)
                bar(0.3f * m.ascent, m.underlineThickness);
        }
        if (picking) {
            // Selection mode draws directly: replaying lists there crashes
            // some drivers.
            for (const auto& mesh : meshes)
                if (mesh) {
                    lumo::text::DrawGlyphMesh(*mesh, depth, polygons);
                    glTranslatef(mesh->advance, 0.0f, 0.0f);
                }
        } else if (!lists.empty()) {
            glCallLists(GLsizei(lists.size()), GL_UNSIGNED_INT, lists.data());
        }
        glPopMatrix();
        glTranslatef(advance * scale, 0.0f, 0.0f);
    }
    glPopMatrix();
}

void CVFontStyle::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, CVText* text)
{
    if (!area || !text)
        return;
    LOGFONTW base = GetLogfont();
    std::vector<const CVTextLine*> lines;
    std::vector<LineBox> boxes;
    if (!Layout(text, base, lines, boxes))
        return;
    const bool picking = state && state->m_bPickMode;
    const bool shadow = state && state->m_nRenderPass == PASS_SHADOW;
    glPushAttrib(GL_ENABLE_BIT | GL_LIST_BIT | GL_CURRENT_BIT);
    glListBase(0);
    if (Extrusion() < kFlat && mOpaque)
        glDisable(GL_CULL_FACE);
    // Without an appearance the text has its own colour; a shadow keeps the
    // shadow's.
    if (!appearance && !picking && !shadow) {
        const RGBColorStruct& c = textColor.GetValue();
        glColor3f(c.red, c.green, c.blue);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (picking)
            glLoadName(GLuint(lines[i]->entry));
        DrawLine(*lines[i], boxes[i], base, area, picking, shadow);
    }
    glPopAttrib();
}

void CVFontStyle::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box, CVText* text)
{
    if (!box)
        return;
    std::vector<const CVTextLine*> lines;
    std::vector<LineBox> boxes;
    if (!Layout(text, GetLogfont(), lines, boxes))
        return;
    float depth = Extrusion();
    CVBox3f extent;
    for (const LineBox& b : boxes) {
        extent.Union(CVVector(b.x, b.y - b.descent, -depth));
        extent.Union(CVVector(b.x + b.width, b.y + b.ascent, 0.0f));
    }
    box->Union(extent);
}
