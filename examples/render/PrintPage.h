// Prints a rendered image as one A4 page of a PDF file, the way the view
// control prints: frame lines, a header with the document's name, a footer
// with the page number, the image fitted into what is left.
#pragma once

#include <string>

class CSimpleDIB;

namespace x3drender {

// False, with 'error' saying why, when the page cannot be laid out or the
// file cannot be written.
bool PrintToPdf(const CSimpleDIB& image, const std::string& documentName, const std::string& output,
                std::string& error);

} // namespace x3drender
