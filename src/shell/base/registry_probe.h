// The presence tests of the registry: a key that can be opened is there.
#ifndef VK_REGISTRY_PROBE_H
#define VK_REGISTRY_PROBE_H

#include <windows.h>

// True when root\path can be opened for reading.
bool registryKeyExists(HKEY root, const char* path);

#endif
