// Finding the game CD by its volume label.
#ifndef VK_CD_SEARCH_H
#define VK_CD_SEARCH_H

// 1 when a drive carries the game CD's label (cdDrive is then set), 0 otherwise. Tries
// driveRoot as start-up left it ("A:\") whatever its type, then the CD-ROM drives B: to Z:.
int findGameCd();

#endif
