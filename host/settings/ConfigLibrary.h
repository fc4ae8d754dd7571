// Config.dll loaded for one use and freed when this goes out of scope.
#pragma once
#include <windows.h>

#include "ConfigApi.h"

class ConfigLibrary {
  public:
    ConfigLibrary() : module_(LoadLibraryA(CORVANE_CONFIG_DLL)) {}
    ~ConfigLibrary() {
        if (module_) FreeLibrary(module_);
    }
    ConfigLibrary(const ConfigLibrary&) = delete;
    ConfigLibrary& operator=(const ConfigLibrary&) = delete;
    bool Loaded() const { return module_ != nullptr; }
    template <typename Proc> Proc Find(const char* name) const {
        return module_
                   ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                   : nullptr;
    }

  private:
    HMODULE module_;
};
