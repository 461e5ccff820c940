#include "platform/com/ClassRegistry.h"

#include "platform/com/Bstr.h"
#include "platform/com/Guid.h"
#include "platform/com/ModuleLoader.h"
#include "platform/com/RegistryFiles.h"

#include <mutex>
#include <vector>

namespace {

struct InProcessClass {
    DWORD cookie;
    CLSID clsid;
    std::string progId;
    ComPtr<IUnknown> object;
};

struct InProcessTable {
    std::mutex mutex;
    std::vector<InProcessClass> classes;
    DWORD nextCookie = 1;
};

InProcessTable& Table()
{
    static auto* table = new InProcessTable(); // lives until the process ends
    return *table;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

// ProgIDs are ASCII; anything else is not a ProgID.
bool ToAscii(LPCOLESTR text, std::string* out)
{
    out->clear();
    for (std::size_t i = 0; text[i]; ++i) {
        if (text[i] > 0x7F || i >= 64)
            return false;
        *out += char(text[i]);
    }
    return true;
}

ComPtr<IUnknown> FindInProcess(const CLSID& clsid)
{
    InProcessTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (const auto& c : t.classes)
        if (c.clsid == clsid)
            return c.object;
    return nullptr;
}

bool FindInProcessProgId(const std::string& progId, CLSID* clsid)
{
    InProcessTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    std::string wanted = Lower(progId);
    for (const auto& c : t.classes)
        if (!c.progId.empty() && Lower(c.progId) == wanted) {
            *clsid = c.clsid;
            return true;
        }
    return false;
}

// The class file from the first folder that has one.
HRESULT ReadClassEntry(const CLSID& clsid, lumo::RegistryEntry* entry)
{
    for (const std::string& folder : lumo::ClassRegistrySearchFolders()) {
        HRESULT hr = lumo::ReadRegistryFile(folder, lumo::ClassFileName(clsid), entry);
        if (hr == S_FALSE)
            continue;
        if (FAILED(hr))
            return hr;
        const std::string* text = entry->Find("CLSID");
        GUID listed;
        if (!text || !lumo::ParseGuid(*text, &listed) || listed != clsid)
            return REGDB_E_INVALIDVALUE;
        return S_OK;
    }
    return REGDB_E_CLASSNOTREG;
}

constexpr int kMaxCurVerDepth = 4;

HRESULT ResolveProgId(const std::string& progId, int depth, CLSID* clsid)
{
    if (!lumo::IsValidProgId(progId))
        return CO_E_CLASSSTRING;
    if (FindInProcessProgId(progId, clsid))
        return S_OK;
    for (const std::string& folder : lumo::ClassRegistrySearchFolders()) {
        lumo::RegistryEntry entry;
        HRESULT hr = lumo::ReadRegistryFile(folder, lumo::ProgIdFileName(progId), &entry);
        if (hr == S_FALSE)
            continue;
        if (FAILED(hr))
            return hr;
        const std::string* curVer = entry.Find("CurVer");
        if (curVer && depth < kMaxCurVerDepth && Lower(*curVer) != Lower(progId)) {
            HRESULT r = ResolveProgId(*curVer, depth + 1, clsid);
            if (r != CO_E_CLASSSTRING)
                return r;
        }
        const std::string* text = entry.Find("CLSID");
        if (!text)
            return curVer ? CO_E_CLASSSTRING : REGDB_E_INVALIDVALUE;
        return lumo::ParseGuid(*text, clsid) ? S_OK : REGDB_E_INVALIDVALUE;
    }
    return CO_E_CLASSSTRING;
}

HRESULT Register(const CLSID& clsid, LPCOLESTR progId, IUnknown* classObject, DWORD* cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!classObject)
        return E_INVALIDARG;
    std::string name;
    if (progId && (!ToAscii(progId, &name) || !lumo::IsValidProgId(name)))
        return CO_E_CLASSSTRING;
    InProcessTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (const auto& c : t.classes)
        if (c.clsid == clsid)
            return E_INVALIDARG; // one registration per class at a time
    DWORD issued = t.nextCookie++;
    if (t.nextCookie == 0)
        t.nextCookie = 1;
    t.classes.push_back({issued, clsid, name, ComPtr<IUnknown>(classObject)});
    *cookie = issued;
    return S_OK;
}

} // namespace

HRESULT CoRegisterClassObject(const CLSID& clsid, IUnknown* classObject, DWORD, DWORD, DWORD* cookie)
{
    return Register(clsid, nullptr, classObject, cookie);
}

HRESULT lumo::RegisterClassInProcess(const CLSID& clsid, LPCOLESTR progId, IUnknown* classObject, DWORD* cookie)
{
    return Register(clsid, progId, classObject, cookie);
}

HRESULT CoRevokeClassObject(DWORD cookie)
{
    ComPtr<IUnknown> released; // after the lock: releasing may run module code
    InProcessTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (auto it = t.classes.begin(); it != t.classes.end(); ++it)
        if (it->cookie == cookie) {
            released = std::move(it->object);
            t.classes.erase(it);
            return S_OK;
        }
    return E_INVALIDARG;
}

HRESULT CoGetClassObject(const CLSID& clsid, DWORD, void*, const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (ComPtr<IUnknown> local = FindInProcess(clsid))
        return local->QueryInterface(iid, object);
    lumo::RegistryEntry entry;
    HRESULT hr = ReadClassEntry(clsid, &entry);
    if (FAILED(hr))
        return hr;
    const std::string* module = entry.Find("Module");
    if (!module)
        return REGDB_E_INVALIDVALUE;
    void* handle = nullptr;
    hr = lumo::LoadServerModule(*module, &handle);
    if (FAILED(hr))
        return hr;
    auto entryPoint = reinterpret_cast<lumo::GetClassObjectFunction>(lumo::FindModuleEntry(handle, "DllGetClassObject"));
    if (!entryPoint)
        return CO_E_ERRORINDLL;
    try {
        hr = entryPoint(clsid, iid, object);
    } catch (...) {
        hr = CO_E_ERRORINDLL;
    }
    if (SUCCEEDED(hr) && !*object)
        hr = E_UNEXPECTED;
    if (FAILED(hr))
        *object = nullptr;
    return hr;
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD context, const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    ComPtr<IClassFactory> factory;
    HRESULT hr = CoGetClassObject(clsid, context, nullptr, IClassFactory::iid, factory.PutVoid());
    if (FAILED(hr))
        return hr;
    hr = factory->CreateInstance(nullptr, iid, object);
    if (SUCCEEDED(hr) && !*object)
        hr = E_UNEXPECTED;
    return hr;
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid)
{
    if (!progId || !clsid)
        return E_INVALIDARG;
    std::string name;
    if (!ToAscii(progId, &name))
        return CO_E_CLASSSTRING;
    return ResolveProgId(name, 0, clsid);
}

HRESULT ProgIDFromCLSID(const CLSID& clsid, LPOLESTR* progId)
{
    if (!progId)
        return E_INVALIDARG;
    *progId = nullptr;
    std::string name;
    {
        InProcessTable& t = Table();
        std::lock_guard<std::mutex> lock(t.mutex);
        for (const auto& c : t.classes)
            if (c.clsid == clsid)
                name = c.progId;
    }
    if (name.empty()) {
        lumo::RegistryEntry entry;
        HRESULT hr = ReadClassEntry(clsid, &entry);
        if (FAILED(hr))
            return hr;
        const std::string* listed = entry.Find("ProgID");
        if (!listed || !lumo::IsValidProgId(*listed))
            return REGDB_E_CLASSNOTREG;
        name = *listed;
    }
    auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(OLECHAR)));
    if (!out)
        return E_OUTOFMEMORY;
    for (std::size_t i = 0; i < name.size(); ++i)
        out[i] = OLECHAR(name[i]);
    out[name.size()] = 0;
    *progId = out;
    return S_OK;
}

HRESULT lumo::CreateInstance(LPCOLESTR progIdOrClsid, const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!progIdOrClsid)
        return E_INVALIDARG;
    CLSID clsid;
    HRESULT hr = progIdOrClsid[0] == u'{' ? CLSIDFromString(progIdOrClsid, &clsid) : CLSIDFromProgID(progIdOrClsid, &clsid);
    if (FAILED(hr))
        return hr;
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}
