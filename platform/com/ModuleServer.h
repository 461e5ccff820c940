// The server side of a module: the classes it serves, and the work behind
// its exported entry points. A module exports
//
//   extern "C" HRESULT DllGetClassObject(const CLSID&, const IID&, void**);
//   extern "C" HRESULT DllRegisterServer();
//   extern "C" HRESULT DllUnregisterServer();
//   extern "C" HRESULT DllCanUnloadNow();   // S_FALSE: modules stay loaded
//
// each a one-line call into the functions below with its class list.
#pragma once

#include "platform/com/ComTypes.h"

#include <string>
#include <utility>
#include <vector>

struct ServedClass {
    CLSID clsid;
    std::string name;                     // the class's name, e.g. "Orbiscope Class"
    std::string progId;                   // versioned ProgID, may be empty
    std::string versionIndependentProgId; // may be empty; its CurVer is progId
    std::string progIdName;               // the ProgIDs' user type name; empty: name
    std::string threadingModel;           // e.g. "Apartment"
    // Further values of the class file (Control, Insertable, TypeLib, ...).
    std::vector<std::pair<std::string, std::string>> values;
    // Hands out the class object (e.g. TClassFactory<T>::Create).
    HRESULT (*createClassObject)(const IID& iid, void** object);
};

namespace lumo {

// CLASS_E_CLASSNOTAVAILABLE for a class the module does not serve.
HRESULT ServeClassObject(const std::vector<ServedClass>& classes, const CLSID& clsid, const IID& iid, void** object);
// Writes a class file per class and a file per ProgID into the folder of
// RegistrationScope(); the module's own path (found through
// addressInModule, any function of the module, and made canonical) is the
// Module value. SELFREG_E_CLASS when a file cannot be written.
HRESULT RegisterServedClasses(const std::vector<ServedClass>& classes, const void* addressInModule);
// Removes the class files and those ProgID files that still name these
// classes; files of other classes are left alone.
HRESULT UnregisterServedClasses(const std::vector<ServedClass>& classes);

// For installers: loads the module (the path is made canonical first) and
// runs its DllRegisterServer or DllUnregisterServer.
HRESULT RegisterServerModule(const std::string& path);
HRESULT UnregisterServerModule(const std::string& path);

} // namespace lumo
