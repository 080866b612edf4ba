// Bounded formatting: every formatted text of the program goes through here.
#ifndef VK_TEXT_FORMAT_H
#define VK_TEXT_FORMAT_H

#include <cstddef>

// Formats into out (size bytes, terminator included). Returns false, leaving out empty, when the
// text would not fit: a text is refused whole, never cut short.
bool formatText(char* out, std::size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// Copies text into out when it fits whole; otherwise leaves out empty and returns false.
bool copyText(char* out, std::size_t size, const char* text);

// Appends text to the string in out when the result fits; otherwise leaves out unchanged.
bool appendText(char* out, std::size_t size, const char* text);

#endif
