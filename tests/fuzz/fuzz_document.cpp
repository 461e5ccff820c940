// Fuzz target: a document read from memory must end in a scene or the parse
// exception; a scene must give a bounding box, a search, a written document
// that reads back, and the same scene again.
#include "scene/actions/GetBoundingBoxAction.h"
#include "scene/actions/SearchAction.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Shape.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/WriteXMLAction.h"
#include "tests/support/Offscreen.h"
#include "tests/support/SceneCompare.h"

#include <sanitizer/lsan_interface.h>
#include <xercesc/sax/SAXParseException.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// One off-screen area for the whole run: bounding boxes need a context.
lumo::test::Offscreen& Area()
{
    static lumo::test::Offscreen off(8, 8);
    return off;
}

[[noreturn]] void Finding(const std::string& what, const std::string& written)
{
    std::fprintf(stderr, "finding: %s\n--- written document ---\n%s\n", what.c_str(), written.c_str());
    std::abort();
}

} // namespace

// The driver starts before the first input, with leak checking off: what
// it allocates once (its generated code keeps blocks leak checking cannot
// follow) is not a leak of the document path.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    __lsan_disable();
    Area();
    __lsan_enable();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 20))
        return -1;
    CVGroup* root = nullptr;
    try {
        root = CVParser().ParseXMLBits(data, unsigned(size));
    } catch (const xercesc::SAXParseException&) {
        return 0; // the documented refusal
    }
    if (!root)
        Finding("the reader returned no root and raised nothing", "");
    root->Ref();

    // Boxes are not stored into the groups: the scene is compared with its
    // written form below, and stored boxes of the root are not written.
    CVGetBoundingBoxAction box(Area().area());
    box.SetNodeBoundingBoxes(0);
    box.Apply(root);
    CVSearchAction search;
    search.SetType(LUMO_RUNTIME_CLASS(CVShape));
    search.Apply(root);

    std::string written = CVWriteXMLAction().WriteString(root);
    if (written.empty())
        Finding("the writer failed on a scene the reader built", "");
    CVGroup* back = nullptr;
    try {
        back = CVParser().ParseXMLBits(written.data(), unsigned(written.size()));
    } catch (const xercesc::SAXParseException& e) {
        std::u16string m(e.getMessage());
        Finding("the written document does not read back: " + std::string(m.begin(), m.end()), written);
    }
    back->Ref();
    std::string difference = lumo::test::CompareScenes(root, back);
    if (!difference.empty())
        Finding("the scene read back differs: " + difference, written);
    back->Unref();
    root->Unref();
    return 0;
}
