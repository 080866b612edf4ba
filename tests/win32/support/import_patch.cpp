#include "support/import_patch.h"

#include <cstring>

namespace testkit {

namespace {

template <typename T>
T* at(BYTE* base, DWORD offset)
{
    return reinterpret_cast<T*>(base + offset);
}

// The import table entry of dll!function in this program's image; null when there is none.
FARPROC* findSlot(const char* dll, const char* function)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = at<IMAGE_NT_HEADERS>(base, static_cast<DWORD>(dos->e_lfanew));
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    for (auto* entry = at<IMAGE_IMPORT_DESCRIPTOR>(base, imports.VirtualAddress); entry->Name != 0; ++entry) {
        if (lstrcmpiA(at<char>(base, entry->Name), dll) != 0 || entry->OriginalFirstThunk == 0)
            continue;
        auto* names = at<IMAGE_THUNK_DATA>(base, entry->OriginalFirstThunk);
        auto* slots = at<IMAGE_THUNK_DATA>(base, entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = at<IMAGE_IMPORT_BY_NAME>(base, static_cast<DWORD>(names->u1.AddressOfData));
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<FARPROC*>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void write(FARPROC* slot, FARPROC value)
{
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

ImportPatch::ImportPatch(const char* dll, const char* function, FARPROC replacement)
    : slot_(findSlot(dll, function))
{
    if (!slot_)
        return;
    original_ = *slot_;
    write(slot_, replacement);
}

ImportPatch::~ImportPatch()
{
    if (slot_)
        write(slot_, original_);
}

}  // namespace testkit
