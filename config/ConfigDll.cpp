// Config.dll's file exports: configuration files read into and written from an engine through
// IVESKAR alone. No exception leaves an export; every failure is a result of 0.
#include <windows.h>

#include <string>
#include <vector>

#include "ConfigApi.h"
#include "ConfigFormat.h"

namespace {

using corvane_config::Values;

// Reads at most one byte past the limit, so an oversized file is seen without reading it all.
bool ReadBounded(const char* path, std::vector<char>& data) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    data.resize(corvane_config::kMaxFileSize + 1);
    DWORD total = 0, got = 0;
    bool ok = true;
    while (total < data.size()) {
        if (!ReadFile(file, data.data() + total, static_cast<DWORD>(data.size() - total), &got,
                      nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        total += got;
    }
    CloseHandle(file);
    data.resize(total);
    return ok;
}

void Apply(IVESKAR* engine, const Values& v) {
    engine->SetBackgroundBlend(v.tint[0], v.tint[1], v.tint[2], v.blend);
    engine->SetBackgroundMode(v.backgroundMode);
    engine->SetGlyphColour(v.glyphColour);
    engine->SetGlyphSet(v.glyphSet);
    double params[6];
    for (int i = 0; i < 6; ++i)
        params[i] = v.params[i];
    engine->SetParamA(&params[0]);
    engine->SetParamB(&params[1]);
    engine->SetParamC(&params[2]);
    engine->SetParamD(&params[3]);
    engine->SetParamE(&params[4]);
    engine->SetParamF(&params[5]);
}

Values Read(IVESKAR* engine, int frameInterval, DWORD priorityClass) {
    Values v = corvane_config::DefaultValues();
    engine->GetBackgroundBlend(&v.tint[0], &v.tint[1], &v.tint[2], &v.blend);
    v.backgroundMode = engine->GetBackgroundMode();
    v.glyphColour = engine->GetGlyphColour();
    v.glyphSet = engine->GetGlyphSet();
    v.params[0] = engine->GetParamA();
    v.params[1] = engine->GetParamB();
    v.params[2] = engine->GetParamC();
    v.params[3] = engine->GetParamD();
    v.params[4] = engine->GetParamE();
    v.params[5] = engine->GetParamF();
    v.frameInterval = frameInterval;
    v.priorityClass = priorityClass;
    return v;
}

// A temporary file beside the target, then one replacing move: a failure or a crash while
// writing never leaves a truncated configuration behind.
bool WriteAtomically(const char* path, const std::string& text) {
    const std::string temporary = std::string(path) + ".tmp";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size() && FlushFileBuffers(file);
    CloseHandle(file);
    ok = ok &&
         MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(temporary.c_str());
    return ok;
}

} // namespace

extern "C" {

BOOL WINAPI LoadConfigFromFile(IVESKAR* engine, int* frameInterval, DWORD* priorityClass,
                               const char* path) {
    try {
        if (!engine || !frameInterval || !priorityClass || !path) return FALSE;
        std::vector<char> data;
        Values values;
        if (!ReadBounded(path, data) ||
            !corvane_config::Parse(data.data(), data.size(), values, nullptr))
            return FALSE;
        Apply(engine, values);
        *frameInterval = values.frameInterval;
        *priorityClass = values.priorityClass;
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

BOOL WINAPI SaveConfigToFile(IVESKAR* engine, int frameInterval, DWORD priorityClass,
                             const char* path) {
    try {
        if (!engine || !path) return FALSE;
        return WriteAtomically(path,
                               corvane_config::Format(Read(engine, frameInterval, priorityClass)))
                   ? TRUE
                   : FALSE;
    } catch (...) {
        return FALSE;
    }
}

} // extern "C"
