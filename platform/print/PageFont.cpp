#include "platform/print/PageFont.h"

#include "platform/text/Utf8.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

namespace lumo::print {

cairo_font_face_t* FindPageFont(const std::wstring& face, int weight, bool italic)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return nullptr;
    std::string family = ToUtf8(face.empty() ? std::wstring(L"Arial") : face);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return nullptr;
    // cairo keeps its own reference to the pattern; it also synthesises bold
    // and slant where the matched file lacks them (FC_EMBOLDEN, FC_MATRIX).
    cairo_font_face_t* font = cairo_ft_font_face_create_for_pattern(match);
    FcPatternDestroy(match);
    if (font && cairo_font_face_status(font) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(font);
        return nullptr;
    }
    return font;
}

} // namespace lumo::print
