#include "scene/nodes/BitmapFontStyle.h"

#include "scene/cache/CacheManager.h"
#include "scene/core/State.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/Text.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>

LUMO_IMPLEMENT_NODE(CVBitmapFontStyle, CVBaseFontStyle)

namespace {

constexpr std::size_t kMaxRememberedSets = 8;
constexpr BYTE kNonAntialiasedQuality = 3;
constexpr double kPi = 3.14159265358979323846;

int Tenths(LONG angle) { return int(((angle % 3600) + 3600) % 3600); }

// Clip-space w of the origin: at or below 0 it lies behind the eye.
double OriginW(const double* mv, const double* pr)
{
    // The origin's eye coordinates are the model-view's translation.
    double ex = mv[12], ey = mv[13], ez = mv[14], ew = mv[15];
    return pr[3] * ex + pr[7] * ey + pr[11] * ez + pr[15] * ew;
}

struct Quad {
    double x[4], y[4]; // window corners: left-bottom, right-bottom, right-top, left-top
    float s0, t0, s1, t1;
    unsigned texture;
    float r, g, b;
};

} // namespace

CVBitmapFontStyle::CVBitmapFontStyle()
{
    backColor.SetValue(1.0f, 1.0f, 1.0f);
    opaque.SetValue(1);
}

void CVBitmapFontStyle::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVBitmapFontStyle>(L"BitmapFontStyle")
        .Field(L"family", &CVBitmapFontStyle::family)
        .Field(L"horizontal", &CVBitmapFontStyle::horizontal)
        .Field(L"justify", &CVBitmapFontStyle::justify)
        .Field(L"language", &CVBitmapFontStyle::language)
        .Field(L"leftToRight", &CVBitmapFontStyle::leftToRight)
        .Field(L"size", &CVBitmapFontStyle::size)
        .Field(L"spacing", &CVBitmapFontStyle::spacing)
        .Field(L"style", &CVBitmapFontStyle::style)
        .Field(L"topToBottom", &CVBitmapFontStyle::topToBottom)
        .Field(L"backColor", &CVBitmapFontStyle::backColor)
        .Field(L"textColor", &CVBitmapFontStyle::textColor)
        .Field(L"opaque", &CVBitmapFontStyle::opaque);
}

int CVBitmapFontStyle::ScaledHeights(CVGLRenderArea* area) const
{
    // Text keeps its size on screen unless the area asks for fonts that
    // follow its output (viewport font scaling or a print font scale).
    return area && (area->IsViewportFontScalingEnabled() || area->GetPrintFontScale() > 0.0f) ? 1 : 0;
}

int CVBitmapFontStyle::ComputeLogfontHeight(int height, CVGLRenderArea* area, int scaled) const
{
    double h = std::fabs(double(height));
    double result = h;
    if (area && !scaled) {
        if (!area->IsViewportFontScalingEnabled() || area->GetGlobalScaleFactor() < 1.0f)
            result = h + 1.0;
    } else if (area) {
        double s = area->IsViewportFontScalingEnabled() ? double(area->GetViewportFontScaleFactor())
                                                        : std::min(double(area->GetGlobalScaleFactor()), 1.0);
        if (!GetScaleWithView()) {
            result = std::trunc(s * h);
        } else {
            GLfloat m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
            glGetFloatv(GL_MODELVIEW_MATRIX, m);
            double scale = std::sqrt(double(m[0]) * m[0] + double(m[4]) * m[4] + double(m[8]) * m[8]);
            if (!area->IsViewportFontScalingEnabled()) {
                double vh = double(area->GetViewport().GetHeight());
                scale *= mOpenGLText ? std::min(vh / 1024.0, 1.0) : std::max(vh / 1200.0, 0.1);
            } else if (area->GetPrintFontScale() > 0.0f) {
                scale = double(area->GetPrintFontScale());
            }
            result = std::trunc(scale * h * s + 0.99);
        }
    }
    if (!std::isfinite(result) || result < 1.0)
        return 0;
    return -int(std::min(result, double(kMaxFontHeight)));
}

int CVBitmapFontStyle::IsAntialiasedText(const CVText* text, const LOGFONTW& font) const
{
    if (!text || !text->IsAntialiased() || opaque.GetValue())
        return 0;
    int escapement = Tenths(font.lfEscapement), orientation = Tenths(font.lfOrientation);
    bool level = escapement == 0 && orientation == 0;
    bool upright = (escapement == 900 || escapement == 2700) && orientation == 0;
    return level || upright || escapement == orientation ? 1 : 0;
}

CVBitmapFontCacheElement* CVBitmapFontStyle::GlyphSet(CVGLRenderArea* area, const LOGFONTW& font)
{
    std::uint64_t group = lumo::CurrentListSpace();
    CVCacheUser& user = GetCacheUser();
    for (const SetEntry& e : mSets)
        if (e.group == group && std::memcmp(&e.font, &font, sizeof font) == 0 && user.Uses(e.set) &&
            std::memcmp(&e.set->GetLogFont(), &font, sizeof font) == 0)
            return e.set;
    // A style that scales with the view meets many sizes: past a few it
    // lets all go, so that it holds only what it draws with.
    if (mSets.size() >= kMaxRememberedSets) {
        user.Release();
        mSets.clear();
    }
    CVBitmapFontCacheElement* set = lumo::UseBitmapFont(area, user, font);
    if (set) {
        mSets.erase(std::remove_if(mSets.begin(), mSets.end(),
                                   [&](const SetEntry& e) {
                                       return e.group == group && std::memcmp(&e.font, &font, sizeof font) == 0;
                                   }),
                    mSets.end());
        mSets.push_back(SetEntry{font, group, set});
    }
    return set;
}

bool CVBitmapFontStyle::Measure(const std::vector<CVTextLine>& lines, const LOGFONTW& font, int height,
                                float boxWidth, float boxHeight, CVGLRenderArea* area, CVPixelLayout& layout,
                                double& angle)
{
    CVPixelLayoutOptions o;
    o.heightScale = font.lfHeight ? float(std::abs(height)) / float(std::abs(font.lfHeight)) : 0.0f;
    o.spacing = GetLineSpacing();
    Justify major = GetJustify(0);
    o.align = major == END ? 2 : (major == MIDDLE || major == OTHER) ? 1 : 0;
    o.leftToRight = leftToRight.GetValue() != 0;
    o.topToBottom = topToBottom.GetValue() != 0;
    o.addLeading = mOpenGLText;
    if (opaque.GetValue()) {
        float margin = GetBackgroundMargin();
        float g = area ? area->GetGlobalScaleFactor() : 1.0f;
        if (g > 0.0f && g < 1.0f)
            margin /= g;
        o.margin = std::isfinite(margin) ? std::clamp(std::round(margin), 0.0f, 256.0f) : 0.0f;
    }
    o.boxWidth = boxWidth;
    o.boxHeight = boxHeight;
    int escapement = Tenths(font.lfEscapement);
    angle = double(escapement) * kPi / 1800.0;
    if (!lumo::text::LayoutPixels(lines, o, layout))
        return false;
    // Text that does not fit its box may stand up in it.
    bool boxed = o.boxWidth > 0.0f && o.boxHeight > 0.0f;
    if (boxed && language.GetValue() == L"BESTFIT" && escapement == 0 && layout.overflows &&
        layout.width >= 1.2f * (layout.ascent + layout.descent) && o.boxHeight >= 1.2f * o.boxWidth) {
        std::swap(o.boxWidth, o.boxHeight);
        CVPixelLayout turned;
        if (lumo::text::LayoutPixels(lines, o, turned)) {
            layout = std::move(turned);
            angle = kPi / 2.0;
        }
    }
    return true;
}

namespace {

// Turns layout coordinates (x right, y up about the origin) into window
// coordinates; quarter turns are exact, so that pixels stay whole.
struct Turn {
    double c = 1.0, s = 0.0;
    explicit Turn(double angle)
    {
        double quarters = angle / (kPi / 2.0);
        if (std::fabs(quarters - std::round(quarters)) < 1e-9) {
            static const double cs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
            int q = ((int(std::lround(quarters)) % 4) + 4) % 4;
            c = cs[q][0];
            s = cs[q][1];
        } else {
            c = std::cos(angle);
            s = std::sin(angle);
        }
    }
    void Apply(double x, double y, double& ox, double& oy) const
    {
        ox = c * x - s * y;
        oy = s * x + c * y;
    }
};

} // namespace

bool CVBitmapFontStyle::Place(CVText* text, CVGLRenderArea* area, const double* projection, Placement& out)
{
    if (!text || !area)
        return false;
    LOGFONTW font = GetLogfont();
    mLastFont = font;
    const std::vector<CVTextLine>& lines = text->GetLines(font);
    // Nothing for no entries or one empty entry.
    if (lines.empty() || (lines.size() == 1 && lines[0].Empty()))
        return false;
    int height = ComputeLogfontHeight(font.lfHeight, area, ScaledHeights(area));
    if (height == 0)
        return false;
    out.antialias = !mOpenGLText && IsAntialiasedText(text, font);

    double mv[16], pr[16];
    GLint vp[4] = {0, 0, 0, 0};
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    if (projection)
        std::copy(projection, projection + 16, pr);
    else
        glGetDoublev(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    if (vp[2] <= 0 || vp[3] <= 0 || !(OriginW(mv, pr) > 0.0))
        return false;
    if (!gluProject(0, 0, 0, mv, pr, vp, &out.originX, &out.originY, &out.originZ) || out.originZ < 0.0 ||
        out.originZ > 1.0)
        return false;
    // The text's box in pixels: its far corner projected like the origin.
    float boxWidth = 0.0f, boxHeight = 0.0f;
    if (text->GetMaxWidth() != 0.0f && text->GetMaxHeight() != 0.0f) {
        double cx = 0, cy = 0, cz = 0;
        if (!gluProject(text->GetMaxWidth(), text->GetMaxHeight(), 0, mv, pr, vp, &cx, &cy, &cz))
            return false;
        double w = std::fabs(cx - out.originX), h = std::fabs(cy - out.originY);
        if (!std::isfinite(w) || !std::isfinite(h) || w - 2.0 < 3.0 || h < 1.0)
            return false; // too small for a character
        boxWidth = float(std::min(w, 1.0e6));
        boxHeight = float(std::min(h, 1.0e6));
    }
    double angle = 0.0;
    if (!Measure(lines, font, height, boxWidth, boxHeight, area, out.layout, angle))
        return false;
    out.angle = angle;

    // The turned box about the origin, then placed by the justification.
    const CVPixelLayout& l = out.layout;
    Turn turn(angle);
    const double cx[4] = {0, l.width, l.width, 0}, cy[4] = {-l.descent, -l.descent, l.ascent, l.ascent};
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (int i = 0; i < 4; ++i) {
        double x, y;
        turn.Apply(cx[i], cy[i], x, y);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    double width = maxX - minX, ascent = maxY, descent = -minY;
    double jx = 0.0, jy = 0.0;
    Justify major = GetJustify(0), minor = GetJustify(1);
    if (major == END)
        jx = -width;
    else if (major == MIDDLE || major == OTHER)
        jx = -std::round(width / 2.0);
    if (minor == BEGIN)
        jy = -ascent;
    else if (minor == MIDDLE)
        jy = std::round(descent - (ascent + descent) / 2.0);
    else if (minor == END)
        jy = descent;
    // Whole pixels: each glyph image lands on the pixel grid.
    double ax = std::round(out.originX), ay = std::round(out.originY);
    out.left = ax + jx;
    out.bottom = ay + jy - descent;
    out.width = width;
    out.height = ascent + descent;
    out.shiftX = out.left - minX;
    out.shiftY = ay + jy;
    return true;
}

void CVBitmapFontStyle::DrawPixels(const Placement& p, CVText* text, CVGLRenderArea* area)
{
    const CVPixelLayout& l = p.layout;
    const bool boxed = text->GetMaxWidth() != 0.0f && text->GetMaxHeight() != 0.0f;
    Turn turn(p.angle);
    auto toWindow = [&](double x, double y, double& wx, double& wy) {
        turn.Apply(x, y, wx, wy);
        wx += p.shiftX;
        wy += p.shiftY;
    };
    // Glyph quads, gathered first: making a glyph may bind textures.
    const RGBColorStruct& ink = textColor.GetValue();
    std::vector<Quad> quads;
    quads.reserve(l.glyphs.size());
    std::vector<CVBitmapFontCacheElement*> sets(l.runs.size(), nullptr);
    for (std::size_t r = 0; r < l.runs.size(); ++r) {
        LOGFONTW key = l.runs[r].font;
        key.lfQuality = p.antialias ? CVBitmapFontCacheElement::ANTIALIASED_QUALITY : kNonAntialiasedQuality;
        key.lfEscapement = key.lfOrientation = 0;
        key.lfUnderline = key.lfStrikeOut = 0;
        sets[r] = GlyphSet(area, key);
    }
    std::vector<unsigned> generations(sets.size());
    for (int attempt = 0; attempt < 2; ++attempt) {
        quads.clear();
        for (std::size_t r = 0; r < sets.size(); ++r)
            generations[r] = sets[r] ? sets[r]->GetGeneration() : 0;
        for (const CVPixelGlyph& g : l.glyphs) {
            CVBitmapFontCacheElement* set = sets[std::size_t(g.run)];
            if (!set)
                continue;
            CVAtlasGlyph a = set->GetGlyph(g.code);
            if (a.page < 0)
                continue;
            double x0 = g.x + a.left, x1 = x0 + a.width, y1 = g.y + a.top, y0 = y1 - a.height;
            const float side = float(set->GetPageSide());
            float s0 = float(a.x) / side, s1 = float(a.x + a.width) / side;
            float t0 = float(a.y + a.height) / side, t1 = float(a.y) / side; // t0 at the bottom edge
            if (boxed) {
                // Clipped to the box the text was fitted into.
                double bx0 = 0, bx1 = l.width, by0 = -l.descent, by1 = l.ascent;
                if (x1 <= bx0 || x0 >= bx1 || y1 <= by0 || y0 >= by1)
                    continue;
                auto cut = [](double& a0, double& a1, float& u0, float& u1, double lo, double hi) {
                    double span = a1 - a0;
                    if (a0 < lo) {
                        u0 += float((lo - a0) / span) * (u1 - u0);
                        a0 = lo;
                    }
                    if (a1 > hi) {
                        u1 -= float((a1 - hi) / (a1 - a0)) * (u1 - u0);
                        a1 = hi;
                    }
                };
                cut(x0, x1, s0, s1, bx0, bx1);
                cut(y0, y1, t0, t1, by0, by1);
            }
            Quad q;
            toWindow(x0, y0, q.x[0], q.y[0]);
            toWindow(x1, y0, q.x[1], q.y[1]);
            toWindow(x1, y1, q.x[2], q.y[2]);
            toWindow(x0, y1, q.x[3], q.y[3]);
            q.s0 = s0;
            q.s1 = s1;
            q.t0 = t0;
            q.t1 = t1;
            q.texture = set->GetPageTexture(a.page);
            const CVPixelRun& run = l.runs[std::size_t(g.run)];
            q.r = run.colorSet ? GetRValue(run.color) / 255.0f : ink.red;
            q.g = run.colorSet ? GetGValue(run.color) / 255.0f : ink.green;
            q.b = run.colorSet ? GetBValue(run.color) / 255.0f : ink.blue;
            quads.push_back(q);
        }
        bool stale = false;
        for (std::size_t r = 0; r < sets.size(); ++r)
            stale = stale || (sets[r] && sets[r]->GetGeneration() != generations[r]);
        if (!stale)
            break;
    }

    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT |
                 GL_POLYGON_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // Window coordinates, with z the window depth.
    glOrtho(vp[0], vp[0] + vp[2], vp[1], vp[1] + vp[3], 0.0, -1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDepthMask(GL_FALSE);
    if (GetDrawOnTop())
        glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const double z = p.originZ;

    double bx[4], by[4];
    {
        const double cx[4] = {0, l.width, l.width, 0}, cy[4] = {-l.descent, -l.descent, l.ascent, l.ascent};
        for (int i = 0; i < 4; ++i)
            toWindow(cx[i], cy[i], bx[i], by[i]);
    }
    glDisable(GL_TEXTURE_2D);
    if (opaque.GetValue()) {
        const RGBColorStruct& b = backColor.GetValue();
        glColor4f(b.red, b.green, b.blue, 1.0f);
        glBegin(GL_QUADS);
        for (int i = 0; i < 4; ++i)
            glVertex3d(bx[i], by[i], z);
        glEnd();
    }
    if (area->IsTextBordersEnabled()) {
        glColor4f(ink.red, ink.green, ink.blue, 1.0f);
        glBegin(GL_LINE_LOOP);
        for (int i = 0; i < 4; ++i)
            glVertex3d(bx[i] + (i == 1 || i == 2 ? -0.5 : 0.5), by[i] + (i >= 2 ? -0.5 : 0.5), z);
        glEnd();
    }
    // Pixels are copied one to one; text turned by other than quarter
    // turns is sampled smoothly.
    const bool smooth = turn.s != 0.0 && turn.c != 0.0;
    std::vector<unsigned> smoothed;
    auto drawQuads = [&](double dx, double dy, const RGBColorStruct* only) {
        unsigned bound = 0;
        bool open = false;
        for (const Quad& q : quads) {
            if (q.texture != bound || !open) {
                if (open)
                    glEnd();
                glBindTexture(GL_TEXTURE_2D, q.texture);
                bound = q.texture;
                if (smooth) {
                    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
                    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
                    smoothed.push_back(q.texture);
                }
                glBegin(GL_QUADS);
                open = true;
            }
            if (only)
                glColor4f(only->red, only->green, only->blue, 1.0f);
            else
                glColor4f(q.r, q.g, q.b, 1.0f);
            glTexCoord2f(q.s0, q.t0);
            glVertex3d(q.x[0] + dx, q.y[0] + dy, z);
            glTexCoord2f(q.s1, q.t0);
            glVertex3d(q.x[1] + dx, q.y[1] + dy, z);
            glTexCoord2f(q.s1, q.t1);
            glVertex3d(q.x[2] + dx, q.y[2] + dy, z);
            glTexCoord2f(q.s0, q.t1);
            glVertex3d(q.x[3] + dx, q.y[3] + dy, z);
        }
        if (open)
            glEnd();
    };
    auto drawRects = [&](double dx, double dy, const RGBColorStruct* only) {
        if (l.rects.empty())
            return;
        glBegin(GL_QUADS);
        for (const CVPixelRect& r : l.rects) {
            const CVPixelRun& run = l.runs[std::size_t(r.run)];
            if (only)
                glColor4f(only->red, only->green, only->blue, 1.0f);
            else if (run.colorSet)
                glColor4ub(GetRValue(run.color), GetGValue(run.color), GetBValue(run.color), 255);
            else
                glColor4f(ink.red, ink.green, ink.blue, 1.0f);
            double x0 = r.x0, x1 = r.x1;
            if (boxed) {
                x0 = std::max(x0, 0.0);
                x1 = std::min(x1, double(l.width));
                if (x1 <= x0)
                    continue;
            }
            const double rx[4] = {x0, x1, x1, x0}, ry[4] = {r.y0, r.y0, r.y1, r.y1};
            for (int i = 0; i < 4; ++i) {
                double wx, wy;
                toWindow(rx[i], ry[i], wx, wy);
                glVertex3d(wx + dx, wy + dy, z);
            }
        }
        glEnd();
    };
    // A drop-shadowed text casts its shadow one pixel down and right.
    if (text->IsDropShadowed()) {
        drawRects(1.0, -1.0, &GetShadowColor());
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        drawQuads(1.0, -1.0, &GetShadowColor());
        glDisable(GL_TEXTURE_2D);
    }
    drawRects(0.0, 0.0, nullptr);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    drawQuads(0.0, 0.0, nullptr);
    for (unsigned texture : smoothed) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void CVBitmapFontStyle::Render(CVState* state, CVGLRenderArea* area, CVAppearance*, CVText* text)
{
    if (!area || !text)
        return;
    if (state && state->m_bPickMode) {
        RenderBackgroundPolygon(text, area, state);
        return;
    }
    // Raster text is not flattened into drop shadows; it casts its own.
    if (state && state->m_nRenderPass == PASS_SHADOW)
        return;
    Placement p;
    if (Place(text, area, nullptr, p))
        DrawPixels(p, text, area);
}

void CVBitmapFontStyle::RenderBackgroundPolygon(CVText* text, CVGLRenderArea* area, CVState*)
{
    if (!area || !text)
        return;
    // Placed with the camera's projection: under picking OpenGL's holds the
    // pick matrix too, which is not the window's.
    Placement p;
    if (!Place(text, area, area->GetProjectionMatrix(), p))
        return;
    double mv[16];
    GLint vp[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetIntegerv(GL_VIEWPORT, vp);
    const CVPixelLayout& l = p.layout;
    Turn turn(p.angle);
    const double cx[4] = {0, l.width, l.width, 0}, cy[4] = {-l.descent, -l.descent, l.ascent, l.ascent};
    double corners[4][3];
    for (int i = 0; i < 4; ++i) {
        double wx, wy;
        turn.Apply(cx[i], cy[i], wx, wy);
        if (!gluUnProject(wx + p.shiftX, wy + p.shiftY, p.originZ, mv, area->GetProjectionMatrix(), vp,
                          &corners[i][0], &corners[i][1], &corners[i][2]))
            return;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBegin(GL_QUADS);
    for (const auto& c : corners)
        glVertex3dv(c);
    glEnd();
    glPopAttrib();
}

void CVBitmapFontStyle::ComputeBoundingBox(CVState*, CVGLRenderArea* area, CVBox3f* box, CVText* text)
{
    if (!box || !area || !text)
        return;
    Placement p;
    if (!Place(text, area, nullptr, p))
        return;
    double mv[16], pr[16];
    GLint vp[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    const CVPixelLayout& l = p.layout;
    Turn turn(p.angle);
    const double cx[4] = {0, l.width, l.width, 0}, cy[4] = {-l.descent, -l.descent, l.ascent, l.ascent};
    for (int i = 0; i < 4; ++i) {
        double wx, wy, ox, oy, oz;
        turn.Apply(cx[i], cy[i], wx, wy);
        if (gluUnProject(wx + p.shiftX, wy + p.shiftY, p.originZ, mv, pr, vp, &ox, &oy, &oz) &&
            std::isfinite(ox) && std::isfinite(oy) && std::isfinite(oz))
            box->Union(CVVector(float(ox), float(oy), float(oz)));
    }
}

void CVBitmapFontStyle::GetTextSizeDC(CVText* text, TextSizeStruct& out, CVGLRenderArea* area)
{
    out = TextSizeStruct();
    if (!text)
        return;
    LOGFONTW font = GetLogfont();
    const std::vector<CVTextLine>& lines = text->GetLines(font);
    if (lines.empty() || (lines.size() == 1 && lines[0].Empty()))
        return;
    int height = ComputeLogfontHeight(font.lfHeight, area, ScaledHeights(area));
    CVPixelLayout layout;
    double angle = 0.0;
    if (height == 0 || !Measure(lines, font, height, 0.0f, 0.0f, area, layout, angle))
        return;
    Turn turn(angle);
    const double cx[4] = {0, layout.width, layout.width, 0};
    const double cy[4] = {-layout.descent, -layout.descent, layout.ascent, layout.ascent};
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (int i = 0; i < 4; ++i) {
        double x, y;
        turn.Apply(cx[i], cy[i], x, y);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    out.width = float(maxX - minX);
    out.ascent = float(maxY);
    out.descent = float(-minY);
}

void CVBitmapFontStyle::GetTextSizeDC(const std::wstring& text, TextSizeStruct& out, CVGLRenderArea* area)
{
    auto* t = new CVText;
    t->Ref();
    t->string.Add(text);
    GetTextSizeDC(t, out, area);
    t->Unref();
}
