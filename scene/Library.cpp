#include "scene/Library.h"

#include "scene/cache/CacheManager.h"
#include "scene/core/Node.h"
#include "scene/core/NodeType.h"
#include "scene/nodes/BuiltinTypes.h"
#include "scene/text/MarkupReader.h"
#include "scene/x3d/Parser.h"

namespace {

// Start-up and shutdown run from the constructor and destructor of one
// namespace-scope object: the loader runs them when the shared library is
// loaded and unloaded (dlopen/dlclose or program start/exit), so no host can
// forget them, and shutdown mirrors start-up in reverse.
class LibraryLifetime {
public:
    LibraryLifetime()
    {
        lumo::CreateCacheManager();
        lumo::InitBuiltinNodeTypes();
        mTypesReady = true;
        CVNode::Init();
        // Print headers and footers read their markup with the document reader.
        lumo::text::SetMarkupReader(&CVParser::GetHTMLString);
    }
    ~LibraryLifetime()
    {
        lumo::text::SetMarkupReader(nullptr);
        if (mTypesReady)
            CVNodeType::UnInit();
        if (CVNode::NameSpaceDepth() >= 0)
            CVNode::UnInit();
        lumo::DeleteCacheManager();
    }

private:
    bool mTypesReady = false;
};

LibraryLifetime gLifetime;

bool gLocked = false;
const LumoLibraryRecord gRecord = {"lumoscene", 0, 1};

} // namespace

extern "C" {

const LumoLibraryRecord* InitDLL() { return &gRecord; }
void SetDllLockedFlag() { gLocked = true; }
void ClearDllLockedFlag() { gLocked = false; }
int DllCanUnloadNow() { return gLocked ? 1 : 0; }
}
