#include "scene/text/FontMatch.h"

#include "platform/text/Utf8.h"

#include <fontconfig/fontconfig.h>

#include <cstring>
#include <vector>

namespace lumo::text {

namespace {

// The default faces' names, which documents written on other systems use,
// and the free fonts with the same metrics that stand in for them.
const struct {
    const char* name;
    const char* substitute;
} kSubstitutes[] = {
    {"Cambria", "Caladea"},
    {"Calibri", "Carlito"},
    {"Consolas", "DejaVu Sans Mono"},
};

FcConfig* Config()
{
    // Loaded once; fontconfig keeps it for the process.
    static FcConfig* config = [] {
        FcInit();
        return FcConfigGetCurrent();
    }();
    return config;
}

// A pattern asking for the family (and its stand-in), weight and slant,
// substituted as fontconfig does for a match.
FcPattern* Request(const std::string& family, int weight, bool italic)
{
    FcPattern* p = FcPatternCreate();
    if (!p)
        return nullptr;
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    for (const auto& s : kSubstitutes)
        if (FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(family.c_str()),
                               reinterpret_cast<const FcChar8*>(s.name)) == 0)
            FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(s.substitute));
    int w = weight <= 0 ? 400 : weight > 1000 ? 1000 : weight;
    FcPatternAddInteger(p, FC_WEIGHT, FcWeightFromOpenType(w));
    FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(p, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(Config(), p, FcMatchPattern);
    FcDefaultSubstitute(p);
    return p;
}

// The families the request names itself: the given one and the aliases
// fontconfig binds strongly to it (metric-compatible fonts), before the
// weak fall-backs of the generic families.
std::vector<std::string> NamedFamilies(FcPattern* request)
{
    std::vector<std::string> names;
    FcValue value;
    FcValueBinding binding;
    for (int i = 0; FcPatternGetWithBinding(request, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i)
        if (value.type == FcTypeString && binding == FcValueBindingStrong)
            names.emplace_back(reinterpret_cast<const char*>(value.u.s));
    return names;
}

bool Carries(FcPattern* font, const std::vector<std::string>& families)
{
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        for (const std::string& f : families)
            if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(f.c_str())) == 0)
                return true;
    return false;
}

bool IsOutline(FcPattern* font)
{
    FcBool outline = FcFalse;
    FcChar8* file = nullptr;
    return FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch && outline &&
           FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch && file && *file;
}

void Describe(FcPattern* font, int weight, bool italic, FontLocation& out)
{
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0, fcWeight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetString(font, FC_FILE, 0, &file);
    FcPatternGetString(font, FC_FAMILY, 0, &family);
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    FcPatternGetInteger(font, FC_WEIGHT, 0, &fcWeight);
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    out.file = file ? reinterpret_cast<const char*>(file) : "";
    out.family = family ? reinterpret_cast<const char*>(family) : "";
    out.index = index;
    out.syntheticBold = weight >= 600 && fcWeight < FC_WEIGHT_DEMIBOLD;
    out.syntheticItalic = italic && slant == FC_SLANT_ROMAN;
}

} // namespace

bool MatchFamily(const std::wstring& family, int weight, bool italic, bool anyFamily, FontLocation& out)
{
    std::string name = ToUtf8(family);
    FcPattern* request = Request(name, weight, italic);
    if (!request)
        return false;
    std::vector<std::string> named = NamedFamilies(request);
    FcResult result = FcResultNoMatch;
    FcPattern* font = FcFontMatch(Config(), request, &result);
    bool ok = font && IsOutline(font) && (anyFamily || Carries(font, named));
    if (ok)
        Describe(font, weight, italic, out);
    if (font)
        FcPatternDestroy(font);
    FcPatternDestroy(request);
    return ok;
}

bool MatchCodePoint(const std::wstring& family, int weight, bool italic, char32_t c, FontLocation& out)
{
    FcPattern* request = Request(ToUtf8(family), weight, italic);
    if (!request)
        return false;
    FcCharSet* wanted = FcCharSetCreate();
    FcCharSetAddChar(wanted, FcChar32(c));
    FcPatternAddCharSet(request, FC_CHARSET, wanted);
    FcCharSetDestroy(wanted);
    FcResult result = FcResultNoMatch;
    FcFontSet* fonts = FcFontSort(Config(), request, FcFalse, nullptr, &result);
    bool ok = false;
    for (int i = 0; fonts && i < fonts->nfont && !ok; ++i) {
        FcPattern* font = FcFontRenderPrepare(Config(), request, fonts->fonts[i]);
        if (!font)
            continue;
        FcCharSet* set = nullptr;
        if (IsOutline(font) && FcPatternGetCharSet(font, FC_CHARSET, 0, &set) == FcResultMatch &&
            FcCharSetHasChar(set, FcChar32(c))) {
            Describe(font, weight, italic, out);
            ok = true;
        }
        FcPatternDestroy(font);
    }
    if (fonts)
        FcFontSetDestroy(fonts);
    FcPatternDestroy(request);
    return ok;
}

} // namespace lumo::text
