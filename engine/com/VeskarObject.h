// The engine's COM object: a thin shell over the portable rain core that draws the core's
// frame buffer into the device context it is given.
#pragma once
#include "Veskar.h"
#include "RainCore.h"

// A private interface through which one engine reads another's whole state exactly.
// {89da5239-88f0-4b1a-a769-3205be88700f}
extern const IID IID_IVeskarState;

HRESULT CreateVeskarObject(REFIID iid, void** out);
LONG VeskarLiveObjects();
