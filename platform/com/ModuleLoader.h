// Loads server modules by absolute path for the class registry, once per
// process; modules stay loaded until the process ends (objects they made may
// still be alive anywhere). A module is refused unless its path is
// canonical (no link anywhere in it), it is a regular file owned by us or
// root, and nobody else can write it.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>

namespace lumo {

using GetClassObjectFunction = HRESULT (*)(const GUID& clsid, const GUID& iid, void** object);

// CO_E_DLLNOTFOUND when the module is missing, refused or does not load;
// CO_E_ERRORINDLL when it lacks the entry point.
HRESULT LoadServerModule(const std::string& path, void** handle);
// The named entry point of a loaded module, or null.
void* FindModuleEntry(void* handle, const char* name);
// Why the last load on this thread failed, for messages.
std::string LastModuleError();

} // namespace lumo
