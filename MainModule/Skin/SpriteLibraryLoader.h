// The run-time loader of the sprite library Pictorra: one module handle for the process, loaded from the
// install folder and freed at shutdown.
#pragma once

#include "ce/kernel.h"

class CSpritePackage;

// True when the library is loaded, now or before. A library that does not load is reported in a box;
// an install folder that cannot be found gives false without one.
bool LoadSpriteLibrary();
// Frees the library when it is held; a second call frees nothing.
void FreeSpriteLibrary();
// The loaded library, or null.
HMODULE GetSpriteLibrary();
// A new sprite package object from the library's one export; null without the library or the export.
// The caller deletes it.
CSpritePackage* NewSpriteObject();
