// The module's entry points: its one class, served and self-registered.
#include "examples/sample_component/SampleCounter.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ModuleServer.h"

namespace {

const std::vector<ServedClass>& Classes()
{
    static const std::vector<ServedClass> classes = {
        {CLSID_SampleCounter, "Sample Counter Class", "Vexo.SampleCounter.1", "Vexo.SampleCounter", "Vexo Sample Counter",
         "Apartment", {{"Programmable", ""}}, &TClassFactory<CSampleCounter>::Create},
    };
    return classes;
}

} // namespace

extern "C" HRESULT DllGetClassObject(const CLSID& clsid, const IID& iid, void** object)
{
    return lumo::ServeClassObject(Classes(), clsid, iid, object);
}

extern "C" HRESULT DllRegisterServer()
{
    return lumo::RegisterServedClasses(Classes(), reinterpret_cast<const void*>(&DllRegisterServer));
}

extern "C" HRESULT DllUnregisterServer() { return lumo::UnregisterServedClasses(Classes()); }

extern "C" HRESULT DllCanUnloadNow() { return S_FALSE; }
