// Free space on a drive: what the install and upgrade dialogs show and the room they ask for.
#ifndef VK_FREE_SPACE_H
#define VK_FREE_SPACE_H

#include <cstdint>

// Free bytes available to the user on a drive root such as "D:\"; 1 on success, 0 otherwise
// (out is then not to be used).
int queryFreeBytes(const char* root, std::uint64_t& out);

// True when the free space can be read and is at least required.
bool hasRoomFor(const char* root, std::uint64_t required);

// The drives a fresh install of chosenType may go to, marked in eligibleDrives: fixed disks with
// room for the level, as start-up took their kinds. The first one's index, or -1.
int markEligibleDrives();

#endif
