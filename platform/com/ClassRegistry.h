// Finding and creating classes: CLSIDs and ProgIDs resolve first against
// classes registered in this process, then against the registration files
// (see RegistryFiles.h), whose module is loaded and asked for its class
// object. Missing or broken registrations give result codes, never a crash:
//   REGDB_E_CLASSNOTREG   no registration for the CLSID
//   CO_E_CLASSSTRING      no (valid) registration for the ProgID
//   REGDB_E_INVALIDVALUE  a registration file that is untrusted or broken
//   CO_E_DLLNOTFOUND      the module is missing, refused or does not load
//   CO_E_ERRORINDLL       the module has no DllGetClassObject
#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ComTypes.h"

#include <string>

HRESULT CoGetClassObject(const CLSID& clsid, DWORD context, void* reserved, const IID& iid, void** object);
HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD context, const IID& iid, void** object);
// A version-independent ProgID follows its CurVer when it has one.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
// The ProgID of the class (CoTaskMemFree it); REGDB_E_CLASSNOTREG when none.
HRESULT ProgIDFromCLSID(const CLSID& clsid, LPOLESTR* progId);

// In-process registration (tests, hosts that serve their own classes): the
// class object is referenced until revoked; E_INVALIDARG when the class is
// already registered in this process.
HRESULT CoRegisterClassObject(const CLSID& clsid, IUnknown* classObject, DWORD context, DWORD flags, DWORD* cookie);
HRESULT CoRevokeClassObject(DWORD cookie);

namespace lumo {

// As CoRegisterClassObject, with a ProgID (may be null) that resolves to it.
HRESULT RegisterClassInProcess(const CLSID& clsid, LPCOLESTR progId, IUnknown* classObject, DWORD* cookie);
// Creates by ProgID or by a braced CLSID string.
HRESULT CreateInstance(LPCOLESTR progIdOrClsid, const IID& iid, void** object);

} // namespace lumo
