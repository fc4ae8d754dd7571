// The configuration folder, the three configuration file paths, and the host's two wrappers
// around Config.dll's file exports.
#pragma once
#include <windows.h>

#include "Veskar.h"

void BuildConfigPaths();
// Loads a configuration (path null: the desktop configuration), seeding it from "default.cfg"
// when missing; then sets the priority class and the animation timer whatever the result.
bool LoadConfig(IVESKAR* engine, int* frameInterval, const char* path);
bool SaveConfig(IVESKAR* engine, int frameInterval, DWORD priorityClass, const char* path);
bool FileExists(const char* path);
bool DirectoryExists(const char* path);
