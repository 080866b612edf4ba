// Where paths and folder names divide: the one rule for "is this byte a separator", and the
// path-prefix walker shared by folder creation and folder removal.
//
// Paths are text in the code page the program runs with: 932 where the system honours the code
// page the program names (Windows 11, Wine), the system's own elsewhere (Windows 10 and older). A
// byte 0x5C is a backslash only where a character begins: as the second byte of a double-byte
// character (ソ 83 5C, 表 95 5C, 十 8F 5C) it is part of that character. Whatever splits, walks,
// checks or trims a path asks here. Texts are NUL-terminated; a length counts bytes before the
// terminator, or fewer.
#ifndef VK_PATH_WALKER_H
#define VK_PATH_WALKER_H

#include <cstddef>
#include <cstdint>

// Whether the byte after c belongs to the same character: a lead byte of the code page in force.
bool isLeadByte(unsigned char c);

// The code page in force, by its lead-byte ranges: pairs of first and last byte, as many as
// count bytes hold, ended early by a pair of zeros (as Windows gives them). No pair at all is a
// code page of single bytes, or UTF-8, where no byte of a character is 0x5C. Until set, and
// where nothing sets it, it is code page 932 (81-9F, E0-FC).
void setLeadByteRanges(const unsigned char* ranges, std::size_t count);

// Where the character after the one that begins at index i of text begins. A lead byte followed
// by the terminator is a character of its own, so a walk never steps over the terminator.
std::size_t nextCharacter(const char* text, std::size_t i);

// Where the last character of the first length bytes of text begins; length must be above 0.
// A lead byte at length - 1 begins the last character, whatever follows it.
std::size_t lastCharacter(const char* text, std::size_t length);

// True when the last character of the first length bytes of text is a backslash.
bool endsWithSeparator(const char* text, std::size_t length);

// True when the first length bytes of text end in a lead byte whose trail byte is not among
// them: a backslash put after it would become its trail, not a separator.
bool endsWithLoneLeadByte(const char* text, std::size_t length);

// Removes one final backslash from a NUL-terminated text; true when there was one.
bool dropFinalSeparator(char* text);

// True for the "." and ".." a folder listing gives, which name no folder of their own.
bool isDotEntry(const char* name);

// Advances cursor to just past the next backslash of path, character by character from where a
// character begins. Returns 0 at a backslash, with cursor one past it, so the first cursor-1
// bytes are the prefix before it; returns 1 at the terminator, with cursor one past it.
int nextPathPrefix(const char* path, std::int32_t& cursor);

#endif
