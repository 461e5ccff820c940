// com-host: how a host program uses a component through the object runtime.
// It registers the sample component's module (as an installer would), creates
// the component by its ProgID, listens to its events, drives it by member
// names with arguments of whatever type is at hand (the runtime converts
// them), and unregisters the module again.
//
//   com-host [MODULE]     MODULE defaults to the sample module built with it
//
// Registration goes to the user's class folder ($VEXO_USER_CLASSES, else
// $XDG_CONFIG_HOME/vexoworks/classes, else ~/.config/vexoworks/classes).
#include "examples/sample_component/SampleInterfaces.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/DispatchClient.h"
#include "platform/com/EventSink.h"
#include "platform/com/ModuleLoader.h"
#include "platform/com/ModuleServer.h"
#include "platform/com/RegistryFiles.h"
#include "platform/text/Utf8.h"

#include <cstdio>
#include <string>

namespace {

int Fail(const char* what, HRESULT hr, const lumo::DispatchError* error = nullptr)
{
    std::fprintf(stderr, "com-host: %s failed: 0x%08X", what, unsigned(hr));
    if (error && !error->description.empty())
        std::fprintf(stderr, " (%s)", lumo::ToUtf8(error->description).c_str());
    std::fprintf(stderr, "\n");
    return 1;
}

std::string Text(const CVariant& v) { return lumo::ToUtf8(v.ToWide()); }

int Run(const std::string& module)
{
    // 1. Create by ProgID; the registry finds and loads the module.
    ComPtr<IDispatch> counter;
    HRESULT hr = lumo::CreateInstance(u"Vexo.SampleCounter", IDispatch::iid, counter.PutVoid());
    if (FAILED(hr)) {
        std::fprintf(stderr, "com-host: %s\n", lumo::LastModuleError().c_str());
        return Fail("creating Vexo.SampleCounter", hr);
    }
    std::printf("created Vexo.SampleCounter from %s\n", module.c_str());

    // 2. Listen to its events.
    auto sink = CEventSink::Create(_ISampleEvents::iid, [](DISPID id, const std::vector<CVariant>& args) {
        std::string line = "event " + std::to_string(id) + "(";
        for (std::size_t i = 0; i < args.size(); ++i)
            line += (i ? ", " : "") + Text(args[i]);
        std::printf("%s)\n", (line).c_str());
        return S_OK;
    });
    DWORD cookie = 0;
    hr = lumo::Advise(counter.Get(), _ISampleEvents::iid, sink->Identity(), &cookie);
    if (FAILED(hr))
        return Fail("Advise", hr);

    // 3. Call by name. The step arrives as text and becomes a 16-bit
    //    integer, the limit a double that becomes an unsigned one.
    lumo::DispatchError error;
    CVariant result;
    if (FAILED(hr = lumo::CallMethod(counter.Get(), u"Configure", {u"5", true, 12.0}, nullptr, &error)))
        return Fail("Configure", hr, &error);
    if (FAILED(hr = lumo::CallMethod(counter.Get(), u"add", {LONG(4)}, &result, &error)))
        return Fail("Add", hr, &error);
    std::printf("Add(4) = %s\n", Text(result).c_str());
    if (FAILED(hr = lumo::CallMethod(counter.Get(), u"Increment", {}, &result, &error)))
        return Fail("Increment", hr, &error);
    std::printf("Increment() = %s\n", Text(result).c_str());
    if (FAILED(hr = lumo::CallMethod(counter.Get(), u"Increment", {}, &result, &error)))
        return Fail("Increment", hr, &error);
    std::printf("Increment() = %s (wrapped above 12)\n", Text(result).c_str());
    if (FAILED(hr = lumo::PutProperty(counter.Get(), u"Total", CVariant(u"40"), &error)))
        return Fail("Total = 40", hr, &error);
    if (FAILED(hr = lumo::GetProperty(counter.Get(), u"Total", &result, &error)))
        return Fail("Total", hr, &error);
    std::printf("Total = %s\n", Text(result).c_str());
    if (FAILED(hr = lumo::CallMethod(counter.Get(), u"Notify", {u"done!", 2.5}, nullptr, &error)))
        return Fail("Notify", hr, &error);

    // 4. The second interface has its own members.
    ComPtr<ISampleText> text;
    if (FAILED(hr = counter.As(&text)))
        return Fail("QueryInterface(ISampleText)", hr);
    if (FAILED(hr = lumo::CallMethod(text.Get(), u"Concat", {u"Hello,", L"world"}, &result, &error)))
        return Fail("Concat", hr, &error);
    std::printf("Concat = %s\n", Text(result).c_str());

    // 5. Errors are result codes, with the member's text when it has one.
    hr = lumo::CallMethod(text.Get(), u"Repeat", {u"x", SHORT(-1)}, &result, &error);
    std::printf("Repeat(x, -1): 0x%08X %s\n", unsigned(hr), lumo::ToUtf8(error.description).c_str());
    hr = lumo::CallMethod(counter.Get(), u"Launch", {}, nullptr, &error);
    std::printf("Launch: 0x%08X (no such member)\n", unsigned(hr));

    lumo::Unadvise(counter.Get(), _ISampleEvents::iid, cookie);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string module = argc > 1 ? argv[1] : SAMPLE_COMPONENT_MODULE;
    lumo::SetRegistrationScope(lumo::RegistryScope::User);
    HRESULT hr = lumo::RegisterServerModule(module);
    if (FAILED(hr)) {
        std::fprintf(stderr, "com-host: %s\n", lumo::LastModuleError().c_str());
        return Fail(("registering " + module).c_str(), hr);
    }
    int status = Run(module);
    lumo::UnregisterServerModule(module);
    return status;
}
