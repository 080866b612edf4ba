// The path-prefix walker shared by folder creation and folder removal.
#ifndef VK_PATH_WALKER_H
#define VK_PATH_WALKER_H

#include <cstdint>

// Advances cursor to the next backslash of path (byte-wise: a 0x5C trail byte of a double-byte
// character counts too). Returns 0 at a backslash, with cursor one past it, so the first cursor-1
// bytes are the prefix before it; returns 1 at the terminator, with cursor one past it.
int nextPathPrefix(const char* path, std::int32_t& cursor);

#endif
