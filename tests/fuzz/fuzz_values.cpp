// Fuzz target: colour text and field text of every field type. The first
// byte picks what the rest is read as; nothing may crash, and a value read
// from text must write back as text that reads back the same.
#include "platform/text/Utf8.h"
#include "scene/core/NodeType.h"
#include "scene/model/Color.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"
#include "scene/x3d/FieldText.h"
#include "scene/x3d/SceneGraphCreator.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

const int kTypes[] = {SFBOOL, SFCOLOR, SFFLOAT, SFINT32, SFROTATION, SFSTRING, SFVEC2F, SFVEC3F,
                      MFCOLOR, MFFLOAT, MFINT32, MFROTATION, MFSTRING, MFVEC2F, MFVEC3F};

// Sets a field from text as a document attribute does.
void SetFromText(CVField& f, const std::wstring& text)
{
    const wchar_t* t = text.c_str();
    switch (f.GetType()) {
    case SFBOOL: static_cast<CVSFBool&>(f).SetValue(t); break;
    case SFCOLOR: static_cast<CVSFColor&>(f).SetValue(t); break;
    case SFFLOAT: static_cast<CVSFFloat&>(f).SetValue(t); break;
    case SFINT32: static_cast<CVSFInt32&>(f).SetValue(t); break;
    case SFROTATION: static_cast<CVSFRotation&>(f).SetValue(t); break;
    case SFSTRING: static_cast<CVSFString&>(f).SetValue(CVSceneGraphCreator::Unescape(text)); break;
    case SFVEC2F: static_cast<CVSFVec2f&>(f).SetValue(t); break;
    case SFVEC3F: static_cast<CVSFVec3f&>(f).SetValue(t); break;
    case MFSTRING:
        static_cast<CVMField&>(f).SetSize(0);
        CVSceneGraphCreator::AddStringList(&f, text);
        break;
    default:
        static_cast<CVMField&>(f).SetSize(0);
        CVSceneGraphCreator::AddListValues(&f, f.GetType(), text);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 4096)
        return -1;
    std::wstring text = lumo::FromUtf8(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    int choice = data[0] % (int(sizeof kTypes / sizeof kTypes[0]) + 1);
    if (choice == 0) {
        ConvertStringToColor(text);
        return 0;
    }
    std::unique_ptr<CVField> field(CVNodeType::CreateFieldFromType(kTypes[choice - 1]));
    SetFromText(*field, text);
    // Its text reads back as the same value.
    std::wstring written;
    if (!lumo::x3d::FieldText(*field, written))
        std::abort();
    std::unique_ptr<CVField> again(CVNodeType::CreateFieldFromType(kTypes[choice - 1]));
    SetFromText(*again, written);
    std::wstring rewritten;
    lumo::x3d::FieldText(*again, rewritten);
    if (rewritten != written) {
        std::fprintf(stderr, "finding: type %d text \"%s\" wrote \"%s\" which reads back as \"%s\"\n",
                     kTypes[choice - 1], lumo::ToUtf8(text).c_str(), lumo::ToUtf8(written).c_str(),
                     lumo::ToUtf8(rewritten).c_str());
        std::abort();
    }
    return 0;
}
