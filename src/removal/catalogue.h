// The game's own files by name: the removal deletes these and nothing else.
#ifndef VK_CATALOGUE_H
#define VK_CATALOGUE_H

constexpr int catalogueNameSize = 13;   // an 8.3 name and its terminator

// One ordered, read-only table; rows are deleted in this order.
struct FileTable {
    const char (*names)[catalogueNameSize];
    int count;
};

extern const FileTable voiceFiles;   // in the "voice" sub-folder
extern const FileTable midiFiles;    // in the "midi" sub-folder
extern const FileTable mainFiles;    // in the install folder itself
extern const FileTable saveFiles;    // in the install folder itself

#endif
