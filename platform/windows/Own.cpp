#include "platform/windows/Win32.h"

#include <aclapi.h>

#include <algorithm>
#include <array>
#include <cwctype>
#include <vector>

namespace sheetmass::platform::win32 {
namespace {

// The user the process runs as, from its token; empty when it cannot tell,
// and then nothing counts as the user's.
const std::vector<BYTE>& tokenUser() {
    static const std::vector<BYTE> user = [] {
        std::vector<BYTE> bytes;
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
            return bytes;
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        bytes.resize(size);
        if (size == 0 || !::GetTokenInformation(token, TokenUser, bytes.data(), size, &size))
            bytes.clear();
        ::CloseHandle(token);
        return bytes;
    }();
    return user;
}

} // namespace

std::wstring pathOf(HANDLE h) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetFinalPathNameByHandleW(h, path.data(), static_cast<DWORD>(path.size()), 0);
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(n);
    }
}

bool isDeviceOrAltered(std::wstring_view name) {
    if (name.empty() || name.ends_with(L'.') || name.ends_with(L' '))
        return true;
    std::wstring base(name.substr(0, name.find(L'.')));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    std::transform(base.begin(), base.end(), base.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    static constexpr std::array<std::wstring_view, 6> kDevices = {L"CON", L"PRN",    L"AUX",
                                                                  L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::find(kDevices.begin(), kDevices.end(), base) != kDevices.end())
        return true;
    // COM1 … COM9, LPT1 … LPT9, and the superscript digits Windows takes too.
    const bool port = base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT"));
    return port && std::wstring_view(L"123456789\u00B9\u00B2\u00B3").find(base[3]) !=
                       std::wstring_view::npos;
}

namespace {

bool isUser(PSID sid) {
    const auto& user = tokenUser();
    return !user.empty() &&
           ::EqualSid(sid, reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
}

// What root is on POSIX: the system, the administrators, and the
// installer's service, which owns the system's folders.
bool isSystem(PSID sid) {
    static const std::vector<BYTE> installer = [] {
        std::vector<BYTE> bytes(SECURITY_MAX_SID_SIZE);
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        PSID made = nullptr;
        if (::AllocateAndInitializeSid(&nt, 6, 80, 956008885, 3418522649, 1831038044, 1853292631,
                                       2271478464, 0, 0, &made)) {
            ::CopySid(static_cast<DWORD>(bytes.size()), bytes.data(), made);
            ::FreeSid(made);
        }
        return bytes;
    }();
    return ::IsWellKnownSid(sid, WinLocalSystemSid) ||
           ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
           ::EqualSid(sid, const_cast<BYTE*>(installer.data()));
}

} // namespace

bool privateToUser(HANDLE h, ACCESS_MASK denied) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(h, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                          &owner, nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    // No list of permissions at all lets everyone do anything.
    bool mine = owner != nullptr && isUser(owner) && dacl != nullptr;
    for (DWORD i = 0; mine && i < dacl->AceCount; ++i) {
        ACE_HEADER* ace = nullptr;
        if (!::GetAce(dacl, i, reinterpret_cast<void**>(&ace)))
            mine = false;
        else if (ace->AceType == ACCESS_ALLOWED_ACE_TYPE && !(ace->AceFlags & INHERIT_ONLY_ACE)) {
            const auto* allowed = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(ace);
            const PSID sid = const_cast<DWORD*>(&allowed->SidStart);
            mine = !(allowed->Mask & denied) || isUser(sid) || isSystem(sid);
        }
    }
    ::LocalFree(descriptor);
    return mine;
}

namespace {

// One entry that allows the user `rights`, for a folder passed on to the
// files and folders made within; the descriptor points into itself, so it
// stays put.
class PrivateDescriptor {
  public:
    PrivateDescriptor(ACCESS_MASK rights, BYTE inherited) {
        const auto& user = tokenUser();
        if (user.empty())
            return;
        const PSID sid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
        const DWORD size = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(sid);
        m_acl.resize(size / sizeof(DWORD) + 1); // an ACL starts on a DWORD
        const auto acl = reinterpret_cast<PACL>(m_acl.data());
        m_made =
            ::InitializeAcl(acl, size, ACL_REVISION) &&
            ::AddAccessAllowedAceEx(acl, ACL_REVISION, inherited, rights, sid) &&
            ::InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
            ::SetSecurityDescriptorOwner(&m_descriptor, sid, FALSE) &&
            ::SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE) &&
            ::SetSecurityDescriptorControl(&m_descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
        m_attributes = {sizeof m_attributes, &m_descriptor, FALSE};
    }
    PrivateDescriptor(const PrivateDescriptor&) = delete;
    PrivateDescriptor& operator=(const PrivateDescriptor&) = delete;

    SECURITY_ATTRIBUTES* attributes() { return m_made ? &m_attributes : nullptr; }

  private:
    std::vector<DWORD> m_acl;
    SECURITY_DESCRIPTOR m_descriptor{};
    SECURITY_ATTRIBUTES m_attributes{};
    bool m_made = false;
};

} // namespace

SECURITY_ATTRIBUTES* privateSecurity(Made made) {
    // A file of inputs, or a lock, is never run.
    static PrivateDescriptor folder(FILE_ALL_ACCESS, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
        file(FILE_ALL_ACCESS & ~FILE_EXECUTE, 0);
    return (made == Made::Folder ? folder : file).attributes();
}

bool ownedByUser(HANDLE h, bool orSystem) {
    // Room for the head and the longest owner there is, so that one query
    // answers: each is a round trip to the server under Wine.
    alignas(SECURITY_DESCRIPTOR)
        BYTE descriptor[sizeof(SECURITY_DESCRIPTOR) + SECURITY_MAX_SID_SIZE];
    DWORD needed = 0;
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    return ::GetKernelObjectSecurity(h, OWNER_SECURITY_INFORMATION, descriptor, sizeof descriptor,
                                     &needed) &&
           ::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) && owner != nullptr &&
           (isUser(owner) || (orSystem && isSystem(owner)));
}

} // namespace sheetmass::platform::win32
