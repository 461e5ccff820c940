#include "scene/text/FontFace.h"

#include "scene/text/FontMatch.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cairo-ft.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <unordered_map>

namespace {

// Every FreeType and cairo-ft call on our faces, and the registries below,
// go under this lock: FreeType faces are not safe to share between threads.
std::mutex& FontMutex()
{
    static std::mutex m;
    return m;
}

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library l = nullptr;
        return FT_Init_FreeType(&l) == 0 ? l : nullptr;
    }();
    return library;
}

// Slant of synthesised italics (12 degrees, as cairo slants them).
constexpr double kObliqueShear = 0.2126;
// Growth of synthesised bold, in ems (as FreeType emboldens).
constexpr float kEmboldenEm = 1.0f / 24.0f;
// Bounds of the per-face memories of advances and fall-back faces; they
// are emptied when full.
constexpr std::size_t kMaxRemembered = 8192;
// Bound of remembered requests (family, weight, slant): documents may name
// any number of families.
constexpr std::size_t kMaxRequests = 256;

} // namespace

struct CVFontFace::Impl {
    FT_Face face = nullptr;
    cairo_font_face_t* cairo = nullptr;
    std::wstring family; // as asked for, for fall-back searches
    int weight = 400;
    bool italic = false;
    // A few scaled fonts, most recent first: a glyph set asks for one size.
    struct Scaled {
        float pixels;
        bool antialias;
        cairo_scaled_font_t* font;
    };
    std::vector<Scaled> scaled;
    std::unordered_map<char32_t, float> advances;
    std::unordered_map<char32_t, std::shared_ptr<const CVFontFace>> fallbacks;
};

// Makes faces (the constructor is private) and keeps them for the process:
// cairo may refer to a face's FreeType face until it exits.
struct CVFontFaceAccess {
    static std::shared_ptr<const CVFontFace> Open(const lumo::text::FontLocation& at, const std::wstring& family,
                                                  int weight, bool italic);
};

namespace {

std::map<std::string, std::shared_ptr<const CVFontFace>>& Faces()
{
    static auto* faces = new std::map<std::string, std::shared_ptr<const CVFontFace>>;
    return *faces;
}

std::map<std::wstring, std::shared_ptr<const CVFontFace>>& Requests()
{
    static auto* requests = new std::map<std::wstring, std::shared_ptr<const CVFontFace>>;
    return *requests;
}

} // namespace

std::shared_ptr<const CVFontFace> CVFontFaceAccess::Open(const lumo::text::FontLocation& at,
                                                         const std::wstring& family, int weight, bool italic)
{
    std::string key = at.file + '\n' + std::to_string(at.index) + (at.syntheticBold ? "b" : "") +
                      (at.syntheticItalic ? "i" : "");
    auto& faces = Faces();
    auto found = faces.find(key);
    if (found != faces.end())
        return found->second;
    FT_Library library = Library();
    FT_Face face = nullptr;
    if (!library || FT_New_Face(library, at.file.c_str(), at.index, &face) != 0)
        return nullptr;
    if (!(face->face_flags & FT_FACE_FLAG_SCALABLE) || face->units_per_EM == 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    auto impl = std::make_unique<CVFontFace::Impl>();
    impl->face = face;
    impl->family = family;
    impl->weight = weight;
    impl->italic = italic;
    std::shared_ptr<const CVFontFace> made(
        new CVFontFace(std::move(impl), at.family, at.file, at.syntheticBold, at.syntheticItalic));
    faces.emplace(key, made);
    return made;
}

CVFontFace::CVFontFace(std::unique_ptr<Impl> impl, std::string family, std::string file, bool bold, bool italic)
    : mImpl(std::move(impl)), mFamily(std::move(family)), mFile(std::move(file)), mSyntheticBold(bold),
      mSyntheticItalic(italic)
{
    FT_Face f = mImpl->face;
    float em = float(f->units_per_EM);
    mMetrics.unitsPerEm = f->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    // The Windows metrics where the font has them: the metric-compatible
    // fonts match the fonts they stand in for there.
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        mMetrics.ascent = float(os2->usWinAscent) / em;
        mMetrics.descent = float(os2->usWinDescent) / em;
        if (os2->xAvgCharWidth > 0)
            mMetrics.averageWidth = float(os2->xAvgCharWidth) / em;
    } else if (f->ascender - f->descender > 0) {
        mMetrics.ascent = float(f->ascender) / em;
        mMetrics.descent = float(-f->descender) / em;
    }
    if (f->underline_thickness > 0) {
        mMetrics.underlinePosition = float(-f->underline_position) / em;
        mMetrics.underlineThickness = float(f->underline_thickness) / em;
    }
}

CVFontFace::~CVFontFace()
{
    // Faces live in the registry until the process ends; this runs only for
    // a face that could not be registered.
    std::lock_guard<std::mutex> lock(FontMutex());
    for (auto& s : mImpl->scaled)
        cairo_scaled_font_destroy(s.font);
    if (mImpl->cairo)
        cairo_font_face_destroy(mImpl->cairo);
    if (mImpl->face)
        FT_Done_Face(mImpl->face);
}

std::shared_ptr<const CVFontFace> CVFontFace::Find(const std::wstring& family, int weight, bool italic)
{
    std::wstring asked = family.empty() ? std::wstring(DefaultFamily()) : family;
    std::wstring key = asked + L'\n' + std::to_wstring(weight) + (italic ? L"i" : L"");
    std::lock_guard<std::mutex> lock(FontMutex());
    auto& requests = Requests();
    auto found = requests.find(key);
    if (found != requests.end())
        return found->second;
    lumo::text::FontLocation at;
    std::shared_ptr<const CVFontFace> face;
    // The family itself, else the default face, else anything at all.
    if (lumo::text::MatchFamily(asked, weight, italic, false, at))
        face = CVFontFaceAccess::Open(at, asked, weight, italic);
    if (!face && lumo::text::MatchFamily(DefaultFamily(), weight, italic, false, at))
        face = CVFontFaceAccess::Open(at, DefaultFamily(), weight, italic);
    if (!face && lumo::text::MatchFamily(DefaultFamily(), weight, italic, true, at))
        face = CVFontFaceAccess::Open(at, DefaultFamily(), weight, italic);
    if (requests.size() >= kMaxRequests)
        requests.clear();
    requests.emplace(key, face);
    return face;
}

bool CVFontFace::HasGlyph(char32_t c) const
{
    std::lock_guard<std::mutex> lock(FontMutex());
    return FT_Get_Char_Index(mImpl->face, FT_ULong(c)) != 0;
}

std::shared_ptr<const CVFontFace> CVFontFace::ForCodePoint(char32_t c) const
{
    std::lock_guard<std::mutex> lock(FontMutex());
    return ForCodePointLocked(c);
}

std::shared_ptr<const CVFontFace> CVFontFace::ForCodePointLocked(char32_t c) const
{
    if (FT_Get_Char_Index(mImpl->face, FT_ULong(c)) != 0)
        return shared_from_this(); // faces are only ever held by shared pointers
    auto& memory = mImpl->fallbacks;
    auto found = memory.find(c);
    if (found != memory.end())
        return found->second;
    std::shared_ptr<const CVFontFace> face;
    lumo::text::FontLocation at;
    if (lumo::text::MatchCodePoint(mImpl->family, mImpl->weight, mImpl->italic, c, at) && at.file != mFile)
        face = CVFontFaceAccess::Open(at, mImpl->family, mImpl->weight, mImpl->italic);
    if (memory.size() >= kMaxRemembered)
        memory.clear();
    memory.emplace(c, face);
    return face;
}

float CVFontFace::GetAdvance(char32_t c) const
{
    std::lock_guard<std::mutex> lock(FontMutex());
    return AdvanceLocked(c);
}

float CVFontFace::AdvanceLocked(char32_t c) const
{
    auto& memory = mImpl->advances;
    auto found = memory.find(c);
    if (found != memory.end())
        return found->second;
    FT_Face f = mImpl->face;
    float advance = 0.0f;
    FT_UInt index = FT_Get_Char_Index(f, FT_ULong(c));
    if (index && FT_Load_Glyph(f, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
        advance = float(f->glyph->metrics.horiAdvance) / float(f->units_per_EM);
        if (mSyntheticBold)
            advance += kEmboldenEm;
    }
    if (memory.size() >= kMaxRemembered)
        memory.clear();
    memory.emplace(c, advance);
    return advance;
}

void CVFontFace::GetAdvances(const std::u32string& text, std::vector<float>& out) const
{
    out.clear();
    out.reserve(text.size());
    std::lock_guard<std::mutex> lock(FontMutex());
    for (char32_t c : text) {
        float a = AdvanceLocked(c);
        if (a == 0.0f && FT_Get_Char_Index(mImpl->face, FT_ULong(c)) == 0)
            if (std::shared_ptr<const CVFontFace> other = ForCodePointLocked(c))
                a = other->AdvanceLocked(c);
        out.push_back(a);
    }
}

float CVFontFace::MeasureRun(const std::u32string& text) const
{
    std::vector<float> advances;
    GetAdvances(text, advances);
    float total = 0.0f;
    for (float a : advances)
        total += a;
    return total;
}

namespace {

// Collects an outline's contours, flattening curves to within a tolerance
// (in font units).
struct Flattener {
    std::vector<std::vector<float>>* contours;
    double scale; // font units to ems
    double tolerance;
    double x = 0, y = 0;

    void Point(double px, double py)
    {
        auto& c = contours->back();
        c.push_back(float(px * scale));
        c.push_back(float(py * scale));
        x = px;
        y = py;
    }
    // Segments for a curve whose control points lie 'd' off its chord:
    // a quadratic's error after n segments is d / (4 n^2).
    int Segments(double d) const
    {
        int n = int(std::ceil(std::sqrt(d / (4.0 * tolerance))));
        return std::clamp(n, 1, 64);
    }
    void Quad(double cx, double cy, double ex, double ey)
    {
        double x0 = x, y0 = y;
        double d = std::hypot(x0 - 2 * cx + ex, y0 - 2 * cy + ey);
        int n = Segments(d);
        for (int i = 1; i <= n; ++i) {
            double t = double(i) / n, u = 1 - t;
            Point(u * u * x0 + 2 * u * t * cx + t * t * ex, u * u * y0 + 2 * u * t * cy + t * t * ey);
        }
    }
    void Cubic(double c1x, double c1y, double c2x, double c2y, double ex, double ey)
    {
        double x0 = x, y0 = y;
        double d = std::max(std::hypot(x0 - 2 * c1x + c2x, y0 - 2 * c1y + c2y),
                            std::hypot(c1x - 2 * c2x + ex, c1y - 2 * c2y + ey));
        int n = Segments(1.5 * d);
        for (int i = 1; i <= n; ++i) {
            double t = double(i) / n, u = 1 - t;
            Point(u * u * u * x0 + 3 * u * u * t * c1x + 3 * u * t * t * c2x + t * t * t * ex,
                  u * u * u * y0 + 3 * u * u * t * c1y + 3 * u * t * t * c2y + t * t * t * ey);
        }
    }
};

int MoveTo(const FT_Vector* to, void* user)
{
    auto* f = static_cast<Flattener*>(user);
    f->contours->emplace_back();
    f->Point(double(to->x), double(to->y));
    return 0;
}
int LineTo(const FT_Vector* to, void* user)
{
    static_cast<Flattener*>(user)->Point(double(to->x), double(to->y));
    return 0;
}
int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user)
{
    static_cast<Flattener*>(user)->Quad(double(c->x), double(c->y), double(to->x), double(to->y));
    return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    static_cast<Flattener*>(user)->Cubic(double(c1->x), double(c1->y), double(c2->x), double(c2->y), double(to->x),
                                         double(to->y));
    return 0;
}

} // namespace

bool CVFontFace::GetOutline(char32_t c, float tolerance, CVGlyphOutline& out) const
{
    out = CVGlyphOutline();
    std::lock_guard<std::mutex> lock(FontMutex());
    FT_Face f = mImpl->face;
    FT_UInt index = FT_Get_Char_Index(f, FT_ULong(c));
    if (!index || FT_Load_Glyph(f, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
        f->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    FT_Outline* outline = &f->glyph->outline;
    double em = double(f->units_per_EM);
    out.advance = float(double(f->glyph->metrics.horiAdvance) / em);
    if (mSyntheticBold) {
        FT_Pos strength = FT_Pos(em * kEmboldenEm);
        FT_Outline_EmboldenXY(outline, strength, strength);
        out.advance += kEmboldenEm;
    }
    if (mSyntheticItalic) {
        FT_Matrix shear{0x10000, FT_Fixed(kObliqueShear * 0x10000), 0, 0x10000};
        FT_Outline_Transform(outline, &shear);
    }
    out.clockwise = FT_Outline_Get_Orientation(outline) != FT_ORIENTATION_POSTSCRIPT;
    out.evenOdd = (outline->flags & FT_OUTLINE_EVEN_ODD_FILL) != 0;
    Flattener flat{&out.contours, 1.0 / em, std::max(double(tolerance) * em, 0.01)};
    FT_Outline_Funcs funcs{&MoveTo, &LineTo, &ConicTo, &CubicTo, 0, 0};
    if (FT_Outline_Decompose(outline, &funcs, &flat) != 0)
        out.contours.clear();
    // A closing point equal to the first is implied.
    for (auto& contour : out.contours)
        if (contour.size() >= 4 && contour[0] == contour[contour.size() - 2] && contour[1] == contour.back())
            contour.resize(contour.size() - 2);
    out.contours.erase(std::remove_if(out.contours.begin(), out.contours.end(),
                                      [](const std::vector<float>& k) { return k.size() < 6; }),
                       out.contours.end());
    return true;
}

bool CVFontFace::Rasterize(char32_t c, float pixels, bool antialias, CVGlyphImage& out) const
{
    out = CVGlyphImage();
    if (!(pixels >= 1.0f))
        return false;
    pixels = std::min(pixels, kMaxPixelSize);
    std::lock_guard<std::mutex> lock(FontMutex());
    FT_UInt index = FT_Get_Char_Index(mImpl->face, FT_ULong(c));
    if (!index)
        return false;
    if (!mImpl->cairo) {
        mImpl->cairo = cairo_ft_font_face_create_for_ft_face(mImpl->face, 0);
        unsigned synth = (mSyntheticBold ? CAIRO_FT_SYNTHESIZE_BOLD : 0) |
                         (mSyntheticItalic ? CAIRO_FT_SYNTHESIZE_OBLIQUE : 0);
        if (synth)
            cairo_ft_font_face_set_synthesize(mImpl->cairo, synth);
    }
    auto& cache = mImpl->scaled;
    auto hit = std::find_if(cache.begin(), cache.end(),
                            [&](const Impl::Scaled& s) { return s.pixels == pixels && s.antialias == antialias; });
    if (hit == cache.end()) {
        cairo_matrix_t size, ctm;
        cairo_matrix_init_scale(&size, pixels, pixels);
        cairo_matrix_init_identity(&ctm);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
        cairo_font_options_set_hint_style(options, antialias ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_FULL);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_scaled_font_t* font = cairo_scaled_font_create(mImpl->cairo, &size, &ctm, options);
        cairo_font_options_destroy(options);
        if (cairo_scaled_font_status(font) != CAIRO_STATUS_SUCCESS) {
            cairo_scaled_font_destroy(font);
            return false;
        }
        if (cache.size() >= 4) {
            cairo_scaled_font_destroy(cache.back().font);
            cache.pop_back();
        }
        cache.insert(cache.begin(), Impl::Scaled{pixels, antialias, font});
        hit = cache.begin();
    } else if (hit != cache.begin()) {
        std::rotate(cache.begin(), hit, hit + 1);
        hit = cache.begin();
    }
    cairo_scaled_font_t* font = hit->font;
    cairo_glyph_t glyph{index, 0.0, 0.0};
    cairo_text_extents_t ext;
    cairo_scaled_font_glyph_extents(font, &glyph, 1, &ext);
    out.advance = float(ext.x_advance);
    if (ext.width <= 0 || ext.height <= 0)
        return true; // a space: an advance and no pixels
    // One pixel of room around the ink, for hinting and synthesis.
    double x0 = std::floor(ext.x_bearing) - 1, y0 = std::floor(ext.y_bearing) - 1;
    double x1 = std::ceil(ext.x_bearing + ext.width) + 2, y1 = std::ceil(ext.y_bearing + ext.height) + 2;
    double limit = 4.0 * double(pixels) + 8.0; // no glyph is drawn larger than four ems
    int w = int(std::min(x1 - x0, limit)), h = int(std::min(y1 - y0, limit));
    if (w <= 0 || h <= 0)
        return true;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_scaled_font(cr, font);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    glyph.x = -x0;
    glyph.y = -y0;
    cairo_show_glyphs(cr, &glyph, 1);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    out.width = w;
    out.height = h;
    out.left = int(x0);
    out.top = int(-y0);
    out.alpha.resize(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        std::copy(data + std::ptrdiff_t(y) * stride, data + std::ptrdiff_t(y) * stride + w,
                  out.alpha.begin() + std::ptrdiff_t(y) * w);
    cairo_surface_destroy(surface);
    return true;
}
