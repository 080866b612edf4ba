// Where a copy is written until it is whole. Each file is copied under a name of the setup's own
// in its destination folder and takes its own name only once it holds all of the source's bytes:
// whatever stops a copy (a disc that fails a read, a write error, a full disk, the process killed
// as the power goes), the game never finds a file cut short under a name it opens.
#ifndef VK_PARTIAL_FILE_H
#define VK_PARTIAL_FILE_H

#include <windows.h>

#include <cstddef>

constexpr char partialFileName[] = "~VKCOPY.TMP";

// folder (empty, or ending with a backslash) followed by partialFileName; false when it would not fit.
bool partialFilePath(char* out, std::size_t size, const char* folder);

// Copies source to partial, then renames partial to destination once it holds every byte of
// the source. 0 when destination is the source's copy (a plain file, the source's time of last
// writing); ERROR_FILE_EXISTS when a file stands under destination (it is never overwritten);
// otherwise the error of the read, the write or the rename, with nothing left under either name.
// A copy that comes out shorter than its source without a failed read fails with ERROR_READ_FAULT.
DWORD copyWhole(const char* source, const char* partial, const char* destination);

// Deletes the file a copy was writing. A copy killed outright may have carried a read-only
// source's attributes over to it, which would keep it from being deleted. False, with the
// system's error, when it stays.
bool discardPartialFile(const char* path);

// What a run that was killed left in folder, before another copies into it or removes it.
void discardPartialFileIn(const char* folder);

#endif
