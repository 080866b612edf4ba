#include "install/partial_file.h"

#include <cstddef>

#include "shell/base/limits.h"
#include "shell/base/text_format.h"

namespace {

// One copy at a time; a large block keeps the calls per file few.
char copyBuffer[1 << 20];

// SetFileInformationByHandle's rename (Windows Vista and later): the copy's own handle takes its
// name, without the file being opened again by name, which under Wine costs more than the copy
// of a small file. The record as the function takes it.
struct RenameInfo {
    BOOLEAN replaceIfExists;
    HANDLE rootDirectory;
    DWORD fileNameLength;   // bytes
    WCHAR fileName[longPathSize];
};
const int fileRenameInfo = 3;   // FileRenameInfo of FILE_INFO_BY_HANDLE_CLASS
using SetFileInformationByHandleCall = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

SetFileInformationByHandleCall findRename()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC proc = kernel ? GetProcAddress(kernel, "SetFileInformationByHandle") : nullptr;
    return reinterpret_cast<SetFileInformationByHandleCall>(reinterpret_cast<void*>(proc));
}

// Renames the open copy to destination; without the call, by name once it is closed. The handle
// is closed either way. ERROR_FILE_EXISTS when destination is taken.
DWORD renameCopy(HANDLE copy, const char* partial, const char* destination)
{
    static const SetFileInformationByHandleCall rename = findRename();
    DWORD error = 0;
    if (rename) {
        RenameInfo info = {};
        int length = MultiByteToWideChar(CP_ACP, 0, destination, -1, info.fileName, longPathSize);
        info.fileNameLength = static_cast<DWORD>(length > 0 ? length - 1 : 0) * sizeof(WCHAR);
        if (length <= 0 || !rename(copy, fileRenameInfo, &info, sizeof info))
            error = GetLastError();
        CloseHandle(copy);
    } else {
        CloseHandle(copy);
        if (!MoveFileA(partial, destination))
            error = GetLastError();
    }
    return error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : error;
}

// Every byte of in to out; 0, or the error of the read or the write.
DWORD copyBytes(HANDLE in, HANDLE out, ULONGLONG& copied)
{
    copied = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, copyBuffer, sizeof copyBuffer, &got, nullptr))
            return GetLastError();
        if (got == 0)
            return 0;
        // A write the disk can take only in part says so; the next one gives the reason.
        for (DWORD done = 0; done < got;) {
            DWORD put = 0;
            if (!WriteFile(out, copyBuffer + done, got - done, &put, nullptr))
                return GetLastError();
            if (put == 0)
                return ERROR_WRITE_FAULT;
            done += put;
        }
        copied += got;
    }
}

}  // namespace

bool partialFilePath(char* out, std::size_t size, const char* folder)
{
    return formatText(out, size, "%s%s", folder, partialFileName);
}

DWORD copyWhole(const char* source, const char* partial, const char* destination)
{
    HANDLE in = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return GetLastError();
    // A partial file is there only when a killed run's could not be taken away as the folder
    // was entered: it goes now, or the copy fails with the reason it stays.
    HANDLE out = CreateFileA(partial, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (out == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS && discardPartialFile(partial))
        out = CreateFileA(partial, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        CloseHandle(in);
        // ERROR_FILE_EXISTS speaks of the destination alone.
        return error == ERROR_FILE_EXISTS ? ERROR_ALREADY_EXISTS : error;
    }
    LARGE_INTEGER size = {};
    ULONGLONG copied = 0;
    DWORD error = GetFileSizeEx(in, &size) ? copyBytes(in, out, copied) : GetLastError();
    if (error == 0 && copied != static_cast<ULONGLONG>(size.QuadPart))
        error = ERROR_READ_FAULT;
    // As a copy of the system's: the source's time of last writing.
    FILETIME written;
    if (error == 0 && GetFileTime(in, nullptr, nullptr, &written))
        SetFileTime(out, nullptr, nullptr, &written);
    CloseHandle(in);
    if (error == 0)
        error = renameCopy(out, partial, destination);
    else
        CloseHandle(out);
    if (error != 0)
        discardPartialFile(partial);
    return error;
}

bool discardPartialFile(const char* path)
{
    if (DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND)
        return true;
    if (GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    return SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL) && DeleteFileA(path);
}

void discardPartialFileIn(const char* folder)
{
    char path[longPathSize + sizeof partialFileName];
    if (partialFilePath(path, sizeof path, folder))
        discardPartialFile(path);
}
