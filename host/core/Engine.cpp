// Creation of engine instances through COM, for the main engine and the backup engine.
#include "Engine.h"

IVESKAR* CreateEngineObject() {
    MULTI_QI query = {&IID_IVESKAR, nullptr, S_OK};
    // Class context 23: in-process server and handler, local and remote server.
    const DWORD context =
        CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
    HRESULT hr = CoCreateInstanceEx(CLSID_VESKAR, nullptr, context, nullptr, 1, &query);
    if (FAILED(hr) || FAILED(query.hr)) return nullptr;
    return static_cast<IVESKAR*>(query.pItf);
}
