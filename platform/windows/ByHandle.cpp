// Names looked up in a folder by its handle, as openat and renameat do on
// POSIX: Win32 takes only full names, which lead wherever the path leads by
// then, so these go to the system's own calls beneath it.
#include "platform/windows/Win32.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace sheetmass::platform::win32 {
namespace {

// In ntdll, which every process has loaded before it starts: looked up
// once, and no library more to load.
struct Native {
    decltype(&::NtCreateFile) create = nullptr;
    decltype(&::NtSetInformationFile) setInformation = nullptr;
    decltype(&::RtlNtStatusToDosError) toError = nullptr;
};

template <typename Function> void find(HMODULE ntdll, const char* name, Function& out) {
    out = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, name)));
}

const Native& nt() {
    static const Native calls = [] {
        Native found;
        if (const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
            find(ntdll, "NtCreateFile", found.create);
            find(ntdll, "NtSetInformationFile", found.setInformation);
            find(ntdll, "RtlNtStatusToDosError", found.toError);
        }
        return found;
    }();
    return calls;
}

bool succeeded(NTSTATUS status) {
    if (status >= 0)
        return true;
    ::SetLastError(nt().toError ? nt().toError(status) : ERROR_INVALID_FUNCTION);
    return false;
}

UNICODE_STRING counted(std::wstring_view name) {
    const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    return {bytes, bytes, const_cast<wchar_t*>(name.data())};
}

HANDLE create(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share,
              ULONG disposition, ULONG options, SECURITY_ATTRIBUTES* security) {
    if (!nt().create || name.size() > 32767) {
        ::SetLastError(name.size() > 32767 ? ERROR_FILENAME_EXCED_RANGE : ERROR_INVALID_FUNCTION);
        return INVALID_HANDLE_VALUE;
    }
    UNICODE_STRING text = counted(name);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder,
                               security ? security->lpSecurityDescriptor : nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE h = INVALID_HANDLE_VALUE;
    // Synchronous, as CreateFileW opens a file, so that reads and writes at
    // an offset are done when they return.
    const NTSTATUS status =
        nt().create(&h, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL,
                    share, disposition, options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    return succeeded(status) ? h : INVALID_HANDLE_VALUE;
}

// FileRenameInformationEx and its flags, newer than the headers' list.
constexpr auto kRenameEx = static_cast<FILE_INFORMATION_CLASS>(65);
constexpr ULONG kReplaceIfExists = 0x1, kPosixSemantics = 0x2;

// What a system says that has no one-step replacement of a file held open.
bool unsupported(NTSTATUS status) {
    switch (static_cast<ULONG>(status)) {
    case 0xC0000002: // not implemented
    case 0xC0000003: // an information class it does not know
    case 0xC000000D: // a parameter it does not take
    case 0xC0000010: // a request the file system does not take
    case 0xC00000BB: // not supported
        return true;
    default:
        return false;
    }
}

} // namespace

HANDLE openAt(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share,
              ULONG disposition, ULONG options) {
    return create(folder, name, access, share, disposition, options, nullptr);
}

HANDLE makeAt(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share,
              ULONG disposition, ULONG options) {
    SECURITY_ATTRIBUTES* const security =
        privateSecurity(options & FILE_DIRECTORY_FILE ? Made::Folder : Made::File);
    if (security == nullptr) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return create(folder, name, access, share, disposition, options, security);
}

bool renameAt(HANDLE file, HANDLE folder, std::wstring_view name, bool over) {
    // The information's head, then the name, with no terminator.
    struct Head {
        ULONG flags; // a BOOLEAN ReplaceIfExists in the old form
        HANDLE root;
        ULONG length;
    };
    std::vector<BYTE> info(sizeof(Head) + name.size() * sizeof(wchar_t) + sizeof(wchar_t));
    const Head head{over ? kReplaceIfExists | kPosixSemantics : 0, folder,
                    static_cast<ULONG>(name.size() * sizeof(wchar_t))};
    std::memcpy(info.data(), &head, sizeof head);
    std::memcpy(info.data() + offsetof(FILE_RENAME_INFO, FileName), name.data(), head.length);
    if (!nt().setInformation) {
        ::SetLastError(ERROR_INVALID_FUNCTION);
        return false;
    }
    IO_STATUS_BLOCK io{};
    const NTSTATUS status =
        nt().setInformation(file, &io, info.data(), static_cast<ULONG>(info.size()),
                            over ? kRenameEx : FileRenameInformation);
    if (over && unsupported(status)) {
        ::SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    return succeeded(status);
}

} // namespace sheetmass::platform::win32
