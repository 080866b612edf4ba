// A fault put into one system call of the code under test: the entry of this program's import
// table through which the program calls a function of a system DLL is pointed elsewhere for the
// life of the object. Calls made from inside the system's DLLs are not affected.
#ifndef VK_TEST_IMPORT_PATCH_H
#define VK_TEST_IMPORT_PATCH_H

#include <windows.h>

namespace testkit {

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, FARPROC replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the program does not import the function by name from that DLL.
    bool active() const { return slot_ != nullptr; }
    // The function the entry pointed at before.
    FARPROC original() const { return original_; }

private:
    FARPROC* slot_ = nullptr;
    FARPROC original_ = nullptr;
};

}  // namespace testkit

#endif
