#include "platform/com/ModuleLoader.h"

#include "platform/com/TrustedFiles.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <map>
#include <mutex>

namespace {

std::mutex gMutex;
std::map<std::string, void*>& Loaded()
{
    static auto* loaded = new std::map<std::string, void*>(); // outlives static destruction
    return *loaded;
}

thread_local std::string tLastError;

HRESULT Fail(HRESULT hr, std::string why)
{
    tLastError = std::move(why);
    return hr;
}

} // namespace

HRESULT lumo::LoadServerModule(const std::string& path, void** handle)
{
    *handle = nullptr;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        auto it = Loaded().find(path);
        if (it != Loaded().end()) {
            *handle = it->second;
            return S_OK;
        }
    }
    if (path.empty() || path[0] != '/')
        return Fail(CO_E_DLLNOTFOUND, "module path is not absolute: " + path);
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved))
        return Fail(CO_E_DLLNOTFOUND, "module not found: " + path);
    if (path != resolved)
        return Fail(CO_E_DLLNOTFOUND, "module path is not canonical (a link or relative part): " + path);
    switch (CheckTrustedFile(path)) {
    case FileCheck::Ok: break;
    case FileCheck::Missing: return Fail(CO_E_DLLNOTFOUND, "module not found: " + path);
    default: return Fail(CO_E_DLLNOTFOUND, "module refused (owner, permissions or file type): " + path);
    }
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* why = dlerror();
        return Fail(CO_E_DLLNOTFOUND, std::string("module does not load: ") + (why ? why : path));
    }
    std::lock_guard<std::mutex> lock(gMutex);
    Loaded().emplace(path, h);
    *handle = h;
    return S_OK;
}

void* lumo::FindModuleEntry(void* handle, const char* name)
{
    void* entry = handle ? dlsym(handle, name) : nullptr;
    if (!entry)
        tLastError = std::string("module lacks ") + name;
    return entry;
}

std::string lumo::LastModuleError() { return tLastError; }
