// The exports of Config.dll, looked up by name with GetProcAddress. One calling convention
// (stdcall) for all of them; the .def file keeps the names undecorated on both targets.
#pragma once
#include <windows.h>

#include "Veskar.h"

#define CORVANE_CONFIG_DLL "Config.dll"

typedef BOOL(WINAPI* LoadConfigFromFileProc)(IVESKAR* engine, int* frameInterval,
                                             DWORD* priorityClass, const char* path);
typedef BOOL(WINAPI* SaveConfigToFileProc)(IVESKAR* engine, int frameInterval, DWORD priorityClass,
                                           const char* path);
typedef BOOL(WINAPI* LaunchConfigFormProc)(IVESKAR* engine, int* frameInterval,
                                           DWORD* priorityClass);
typedef int(WINAPI* LaunchInfoFormProc)(int reserved);
