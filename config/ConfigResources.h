// Resource ids of Config.dll.
#pragma once
#define IDD_ABOUT 100
#define IDD_HIRE 101
