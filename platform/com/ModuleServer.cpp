#include "platform/com/ModuleServer.h"

#include "platform/com/Guid.h"
#include "platform/com/ModuleLoader.h"
#include "platform/com/RegistryFiles.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>

namespace {

bool ModulePath(const void* address, std::string* path)
{
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fname)
        return false;
    char resolved[PATH_MAX];
    if (!realpath(info.dli_fname, resolved))
        return false;
    *path = resolved;
    return true;
}

lumo::RegistryEntry ProgIdEntry(const ServedClass& c, const std::string& progId, const std::string& curVer)
{
    lumo::RegistryEntry e;
    e.Set("ProgID", progId);
    e.Set("Name", c.progIdName.empty() ? c.name : c.progIdName);
    e.Set("CLSID", lumo::FormatGuid(c.clsid));
    if (!curVer.empty())
        e.Set("CurVer", curVer);
    return e;
}

// Removes a ProgID file only while it still names this class.
void RemoveProgIdIfOurs(const std::string& folder, const std::string& progId, const CLSID& clsid)
{
    std::string file = lumo::ProgIdFileName(progId);
    lumo::RegistryEntry e;
    if (file.empty() || lumo::ReadRegistryFile(folder, file, &e) != S_OK)
        return;
    const std::string* text = e.Find("CLSID");
    GUID listed;
    if (text && lumo::ParseGuid(*text, &listed) && listed == clsid)
        lumo::RemoveRegistryFile(folder, file);
}

using EntryFunction = HRESULT (*)();

HRESULT RunModuleEntry(const std::string& path, const char* name)
{
    // An unresolvable path goes to the loader as given, which says why it fails.
    char resolved[PATH_MAX];
    std::string canonical = realpath(path.c_str(), resolved) ? std::string(resolved) : path;
    void* handle = nullptr;
    HRESULT hr = lumo::LoadServerModule(canonical, &handle);
    if (FAILED(hr))
        return hr;
    auto entry = reinterpret_cast<EntryFunction>(lumo::FindModuleEntry(handle, name));
    if (!entry)
        return CO_E_ERRORINDLL;
    try {
        return entry();
    } catch (...) {
        return CO_E_ERRORINDLL;
    }
}

} // namespace

HRESULT lumo::ServeClassObject(const std::vector<ServedClass>& classes, const CLSID& clsid, const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (const ServedClass& c : classes)
        if (c.clsid == clsid)
            return c.createClassObject ? c.createClassObject(iid, object) : CLASS_E_CLASSNOTAVAILABLE;
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT lumo::RegisterServedClasses(const std::vector<ServedClass>& classes, const void* addressInModule)
{
    std::string module;
    if (!ModulePath(addressInModule, &module))
        return SELFREG_E_CLASS;
    std::string folder = ClassRegistryFolder(RegistrationScope());
    for (const ServedClass& c : classes) {
        if ((!c.progId.empty() && !IsValidProgId(c.progId)) ||
            (!c.versionIndependentProgId.empty() && !IsValidProgId(c.versionIndependentProgId)))
            return SELFREG_E_CLASS;
        RegistryEntry e;
        e.Set("CLSID", FormatGuid(c.clsid));
        e.Set("Module", module);
        e.Set("Name", c.name);
        if (!c.progId.empty())
            e.Set("ProgID", c.progId);
        if (!c.versionIndependentProgId.empty())
            e.Set("VersionIndependentProgID", c.versionIndependentProgId);
        if (!c.threadingModel.empty())
            e.Set("ThreadingModel", c.threadingModel);
        for (const auto& kv : c.values)
            e.Set(kv.first, kv.second);
        if (FAILED(WriteRegistryFile(folder, ClassFileName(c.clsid), e)))
            return SELFREG_E_CLASS;
        if (!c.progId.empty() &&
            FAILED(WriteRegistryFile(folder, ProgIdFileName(c.progId), ProgIdEntry(c, c.progId, std::string()))))
            return SELFREG_E_CLASS;
        if (!c.versionIndependentProgId.empty() &&
            FAILED(WriteRegistryFile(folder, ProgIdFileName(c.versionIndependentProgId),
                                     ProgIdEntry(c, c.versionIndependentProgId, c.progId))))
            return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT lumo::UnregisterServedClasses(const std::vector<ServedClass>& classes)
{
    std::string folder = ClassRegistryFolder(RegistrationScope());
    for (const ServedClass& c : classes) {
        if (!c.versionIndependentProgId.empty())
            RemoveProgIdIfOurs(folder, c.versionIndependentProgId, c.clsid);
        if (!c.progId.empty())
            RemoveProgIdIfOurs(folder, c.progId, c.clsid);
        // The class file carries our CLSID in its name: ours whatever it holds.
        RemoveRegistryFile(folder, ClassFileName(c.clsid));
    }
    return S_OK;
}

HRESULT lumo::RegisterServerModule(const std::string& path) { return RunModuleEntry(path, "DllRegisterServer"); }

HRESULT lumo::UnregisterServerModule(const std::string& path) { return RunModuleEntry(path, "DllUnregisterServer"); }
