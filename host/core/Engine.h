// Creation of engine instances through COM.
#pragma once
#include "Veskar.h"

// An engine created by its class identifier (class context 23); null on failure.
IVESKAR* CreateEngineObject();
