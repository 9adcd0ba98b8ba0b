// Which catalogue names may be used below the program folder, for the extractor and the
// removal alike.
#pragma once

#include "install/payload.h"

// 1 when the 128-byte name field holds a name that may be used below the program folder:
// terminated within the field, not empty, not absolute, no colon, no ".." component.
int EntryNameIsSafe(const char name[CATALOGUE_NAME_SIZE]);
// The same rule for a terminated name: relative, no colon, no empty component, no component
// made of dots and blanks only.
int CatalogueNameIsSafe(const char* name);
