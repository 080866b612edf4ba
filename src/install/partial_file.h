// Where a copy is written until it is whole. Each file is copied under a name of the setup's own
// in its destination folder and takes its own name only once its size is the source's: whatever
// stops a copy (a disc that fails a read, a write error, a full disk, the process killed as the
// power goes), the game never finds a file cut short under a name it opens.
#ifndef VK_PARTIAL_FILE_H
#define VK_PARTIAL_FILE_H

#include <cstddef>

constexpr char partialFileName[] = "~VKCOPY.TMP";

// folder (empty, or ending with a backslash) followed by partialFileName; false when it would not fit.
bool partialFilePath(char* out, std::size_t size, const char* folder);

// Deletes the file a copy was writing. A copy killed outright may have carried a read-only
// source's attributes over to it, which would keep it from being deleted. False, with the
// system's error, when it stays.
bool discardPartialFile(const char* path);

// What a run that was killed left in folder, before another copies into it or removes it.
void discardPartialFileIn(const char* folder);

#endif
