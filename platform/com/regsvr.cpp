// lumo-regsvr: registers a server module's classes (runs its
// DllRegisterServer) or, with -u, removes them; --user or --system choose
// the registry folder instead of the default (system for root, else user).
#include "platform/com/ModuleLoader.h"
#include "platform/com/ModuleServer.h"
#include "platform/com/RegistryFiles.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    bool unregister = false;
    const char* module = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-u") == 0)
            unregister = true;
        else if (std::strcmp(argv[i], "--user") == 0)
            lumo::SetRegistrationScope(lumo::RegistryScope::User);
        else if (std::strcmp(argv[i], "--system") == 0)
            lumo::SetRegistrationScope(lumo::RegistryScope::System);
        else if (argv[i][0] != '-' && !module)
            module = argv[i];
        else {
            module = nullptr;
            break;
        }
    }
    if (!module) {
        std::fprintf(stderr, "usage: lumo-regsvr [-u] [--user|--system] MODULE\n");
        return 2;
    }
    HRESULT hr = unregister ? lumo::UnregisterServerModule(module) : lumo::RegisterServerModule(module);
    if (FAILED(hr)) {
        std::string why = lumo::LastModuleError();
        std::fprintf(stderr, "lumo-regsvr: %s: error 0x%08X%s%s\n", module, unsigned(hr), why.empty() ? "" : ": ",
                     why.c_str());
        return 1;
    }
    std::printf("%s %s in %s\n", unregister ? "unregistered" : "registered", module,
                lumo::ClassRegistryFolder(lumo::RegistrationScope()).c_str());
    return 0;
}
