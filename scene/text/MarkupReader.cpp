#include "scene/text/MarkupReader.h"

namespace lumo::text {
namespace {
MarkupReader gReader = nullptr;
}

void SetMarkupReader(MarkupReader reader) { gReader = reader; }

void ReadMarkup(CVMFString& lines, std::vector<CVRichTextFragment>* fragments)
{
    if (gReader) {
        gReader(lines, fragments);
        return;
    }
    if (fragments && lines.GetNum() > 0) {
        CVRichTextFragment plain;
        plain.text = lines[0];
        plain.endOfLine = 1;
        fragments->push_back(plain);
    }
}

} // namespace lumo::text
