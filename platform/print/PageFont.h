// Finds the font for text drawn on printed pages: fontconfig picks the file
// for a face name, weight and slant (the nearest installed face when the
// named one is missing), and cairo draws with it. One lookup for all page
// text, so that it can share the text layer's face lookup later.
#pragma once

#include <string>

typedef struct _cairo_font_face cairo_font_face_t;

namespace lumo::print {

// A new reference to a cairo font face (the caller destroys it); null only
// when fontconfig has no font at all. Weights of 600 and more ask for bold.
cairo_font_face_t* FindPageFont(const std::wstring& face, int weight, bool italic);

} // namespace lumo::print
