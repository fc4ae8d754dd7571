// The in-process COM server: the class identifiers, the class factory table, and the
// registration entry points that regsvr32 calls.
#include "VeskarObject.h"

#include <cstdio>
#include <new>

#include <olectl.h>

extern "C" {
__declspec(dllexport) extern const CLSID CLSID_VESKAR = {
    0xf897face, 0x6611, 0x46d2, {0x84, 0x14, 0xa2, 0xfb, 0x69, 0x5f, 0x16, 0x5c}};
__declspec(dllexport) extern const IID IID_IVESKAR = {
    0x259fecb8, 0xe049, 0x43f4, {0x9b, 0x0d, 0x9e, 0x88, 0x8f, 0xaa, 0x18, 0x7d}};
}

namespace {

HMODULE g_module = nullptr;
LONG g_locks = 0;

struct ClassEntry {
    const CLSID* clsid;
    HRESULT (*create)(REFIID, void**);
    const char* name;
};
const ClassEntry kClasses[] = {
    {&CLSID_VESKAR, CreateVeskarObject, "Veskar glyph rain engine"},
};

struct ClassFactory : IClassFactory {
    const ClassEntry* entry;
    explicit ClassFactory(const ClassEntry* e) : entry(e) {}
    virtual ~ClassFactory() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factories are static: their lifetime is the module's.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (out) *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return entry->create(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }
};
ClassFactory g_factories[] = {ClassFactory(&kClasses[0])};

void ClsidKey(const CLSID& clsid, char* out, size_t size) {
    snprintf(out, size, "CLSID\\{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             static_cast<unsigned long>(clsid.Data1), clsid.Data2, clsid.Data3, clsid.Data4[0],
             clsid.Data4[1], clsid.Data4[2], clsid.Data4[3], clsid.Data4[4], clsid.Data4[5],
             clsid.Data4[6], clsid.Data4[7]);
}

bool SetStringValue(HKEY root, const char* subkey, const char* name, const char* value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                 static_cast<DWORD>(lstrlenA(value) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (size_t i = 0; i < sizeof kClasses / sizeof *kClasses; ++i) {
        if (IsEqualCLSID(clsid, *kClasses[i].clsid)) return g_factories[i].QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT WINAPI DllCanUnloadNow() {
    return (VeskarLiveObjects() == 0 && g_locks == 0) ? S_OK : S_FALSE;
}

HRESULT WINAPI DllRegisterServer() {
    char path[MAX_PATH] = {};
    if (!GetModuleFileNameA(g_module, path, MAX_PATH)) return SELFREG_E_CLASS;
    for (const ClassEntry& entry : kClasses) {
        char key[96], server[128];
        ClsidKey(*entry.clsid, key, sizeof key);
        snprintf(server, sizeof server, "%s\\InprocServer32", key);
        if (!SetStringValue(HKEY_CLASSES_ROOT, key, nullptr, entry.name) ||
            !SetStringValue(HKEY_CLASSES_ROOT, server, nullptr, path) ||
            !SetStringValue(HKEY_CLASSES_ROOT, server, "ThreadingModel", "Apartment"))
            return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT WINAPI DllUnregisterServer() {
    for (const ClassEntry& entry : kClasses) {
        char key[96], server[128];
        ClsidKey(*entry.clsid, key, sizeof key);
        snprintf(server, sizeof server, "%s\\InprocServer32", key);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, server);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
    }
    return S_OK;
}

} // extern "C"
