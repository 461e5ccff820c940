// The rich-text markup reader that print headers and footers and shelf-plan
// notes use. The reader lives in the document layer above them; the library
// installs it here when it is loaded.
#pragma once

#include "scene/model/MFields.h"
#include "scene/text/RichTextFragment.h"

#include <vector>

namespace lumo::text {

// Replaces 'lines' (one string, the markup) by the lines of the markup and
// appends its formatted runs to 'fragments'; leaves 'lines' alone when the
// markup does not parse.
using MarkupReader = void (*)(CVMFString& lines, std::vector<CVRichTextFragment>* fragments);

void SetMarkupReader(MarkupReader reader);
// Reads markup with the installed reader; without one the text stays one
// line of one plain run.
void ReadMarkup(CVMFString& lines, std::vector<CVRichTextFragment>* fragments);

} // namespace lumo::text
