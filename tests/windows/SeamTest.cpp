// The seam's Windows side, where it differs from POSIX: names that open
// devices, the same file by volume and index, replacing a file held open,
// the lock, and the user's places.
#include "listfile/ListFile.h"
#include "listfile/ListPlaces.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Places.h"
#include "platform/Replace.h"
#include "platform/Streams.h"
#include "tests/support/FilePaths.h"
#include "tests/support/TypicalSave.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace {

namespace fs = std::filesystem;
using namespace sheetmass::platform;

using sheetmass::tests::bytesOf;
using sheetmass::tests::utf8;

// In the system's own ticks of 100 ns; the C runtime's are seconds.
std::uint64_t modified(const fs::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    return (std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

void put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh folder with a name outside every ANSI code page.
class Seam : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   (u8"шов ✓ " + std::u8string(reinterpret_cast<const char8_t*>(
                                     std::to_string(::GetCurrentProcessId()).c_str())));
        fs::remove_all(m_folder);
        fs::create_directory(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }
    fs::path in(const char* name) const {
        return m_folder / fs::path(std::u8string(name, name + std::strlen(name)));
    }

    fs::path m_folder;
};

TEST(Paths, DrivesSharesAndFolders) {
    const struct {
        const char* path;
        bool absolute;
        const char* folder;
    } rows[] = {
        {"C:\\Программы\\sheetmass\\List.abc", true, "C:\\Программы\\sheetmass"},
        {"C:/a/List.abc", true, "C:/a"},
        {"C:\\List.abc", true, "C:\\"}, // "C:" alone is the drive's current folder
        {"\\\\server\\share\\List.abc", true, "\\\\server\\share"},
        {"C:List.abc", false, "."},
        {"sheetmass\\List.abc", false, "sheetmass"},
        {"List.abc", false, "."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(isAbsolute(row.path), row.absolute);
        EXPECT_EQ(folderOf(row.path), row.folder);
    }
    EXPECT_EQ(joined("C:\\", "List.abc"), "C:\\List.abc");
    EXPECT_EQ(joined("C:\\a", "List.abc"), "C:\\a\\List.abc");
}

// A device answers to its name in any folder and with any extension; a
// trailing dot or blank is dropped on the way. None is ever opened or made.
TEST_F(Seam, NamesOfDevicesAreRefusedOthersAreFiles) {
    const struct {
        const char* name;
        Failure failure;
    } rows[] = {
        {"CON", Failure::Refused},       {"nul", Failure::Refused},
        {"NUL.abc", Failure::Refused},   {"Com1", Failure::Refused},
        {"lpt9.txt", Failure::Refused},  {"aux .abc", Failure::Refused},
        {"CONIN$", Failure::Refused},    {"COM\u00B9", Failure::Refused},
        {"List.abc.", Failure::Refused}, {"List.abc ", Failure::Refused},
        {"List.abc", Failure::Missing},  {"Лист.abc", Failure::Missing},
        {"COM10", Failure::Missing},     {"CONFIG.abc", Failure::Missing},
        {"nul_.abc", Failure::Missing},  {"LPT0", Failure::Missing},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CheckedFile file;
        EXPECT_EQ(openChecked(utf8(in(row.name)), Access::ReadWrite, file).failure(), row.failure);
        if (row.failure == Failure::Missing) {
            ASSERT_TRUE(createNew(file.folder, file.name).ok());
            EXPECT_EQ(bytesOf(in(row.name)), "");
        }
        EXPECT_FALSE(sheetmass::createEmptyListFile(utf8(in(row.name))) &&
                     row.failure == Failure::Refused);
    }
    std::size_t made = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_folder))
        ++made;
    EXPECT_EQ(made, 6u); // the files, no more
}

// Only the user, the system or the administrators may own a folder on the
// way: no one else could change where the path leads. (The user's own
// folders are on every other test's way.)
TEST_F(Seam, EveryFolderOnTheWayIsTheUsersOrTheSystems) {
    const struct {
        const char* what;
        const wchar_t* owner; // in the system's own notation
        Failure failure;
    } rows[] = {
        {"the administrators'", L"O:BA", Failure::Missing},
        {"the system's", L"O:SY", Failure::Missing},
        {"the users' group's", L"O:BU", Failure::Refused},
        {"everyone's", L"O:WD", Failure::Refused},
    };
    const fs::path way = in("way"), list = way / "folder" / "List.abc";
    fs::create_directories(list.parent_path());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(row.owner, 1, &descriptor,
                                                                         nullptr));
        bool set = SetFileSecurityW(way.c_str(), OWNER_SECURITY_INFORMATION, descriptor);
        // Wine takes an owner and keeps the file's own: then it says so.
        PSID wanted = nullptr, kept = nullptr;
        BOOL defaulted = FALSE;
        PSECURITY_DESCRIPTOR now = nullptr;
        set = set && GetSecurityDescriptorOwner(descriptor, &wanted, &defaulted) &&
              GetNamedSecurityInfoW(way.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &kept,
                                    nullptr, nullptr, nullptr, &now) == ERROR_SUCCESS &&
              EqualSid(wanted, kept);
        LocalFree(now);
        LocalFree(descriptor);
        if (!set) {
            std::cout << "needs real Windows, Wine gives no such owner: " << row.what << "\n";
            continue;
        }
        CheckedFile file;
        EXPECT_EQ(openChecked(utf8(list), Access::ReadWrite, file).failure(), row.failure);
        // The lock and the made folders go the same way.
        if (row.failure == Failure::Refused) {
            File held;
            EXPECT_EQ(lockPrivately(utf8(list.parent_path()), "sheetmass.lock",
                                    std::chrono::milliseconds(0), held)
                          .failure(),
                      Failure::Refused);
            EXPECT_FALSE(makeFolders(utf8(list.parent_path() / "new")));
        }
    }
}

// Nothing but a file is opened as one, nor anything but a folder as a folder.
TEST_F(Seam, FoldersAreNoFiles) {
    fs::create_directory(in("List.abc"));
    put(in("файл"), "x");
    const struct {
        const char* path;
        Failure failure;
    } rows[] = {
        {"List.abc", Failure::Refused},
        {"нет\\List.abc", Failure::Other}, // missing on the way there
        {"файл\\List.abc", Failure::Refused},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        for (const Access access : {Access::Read, Access::ReadWrite}) {
            CheckedFile file;
            EXPECT_EQ(openChecked(utf8(in(row.path)), access, file).failure(), row.failure);
        }
    }
}

// What the opened handle tells of the file: its time, and its names.
TEST_F(Seam, TheFactsOfAnOpenedFile) {
    const struct {
        const char* what;
        const char* second; // another name of the same file, or none
        std::uint64_t names;
    } rows[] = {
        {"one name", nullptr, 1},
        {"two names", "Другое.abc", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(in("List.abc"));
        put(in("List.abc"), "x");
        if (row.second) {
            ASSERT_TRUE(CreateHardLinkW(in(row.second).c_str(), in("List.abc").c_str(), nullptr));
        }
        // 2024-01-01 00:00:00 UTC, in the system's ticks since 1601.
        const HANDLE h = CreateFileW(in("List.abc").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        const std::uint64_t ticks = 133'485'408'000'000'000;
        const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &time));
        CloseHandle(h);
        for (const Access access : {Access::Read, Access::ReadWrite}) {
            CheckedFile file;
            ASSERT_TRUE(openChecked(utf8(in("List.abc")), access, file).ok());
            EXPECT_EQ(file.facts.modified, 1'704'067'200'000'000'000);
            EXPECT_EQ(file.facts.names, row.names);
        }
        if (row.second)
            fs::remove(in(row.second));
    }
}

// The save's file stays open while the new one takes its name; a reader
// that has it open too keeps reading the old bytes.
TEST_F(Seam, AReplacementTakesThePlaceOfAFileHeldOpen) {
    put(in("List.abc"), "old bytes");
    CheckedFile list;
    ASSERT_TRUE(openChecked(utf8(in("List.abc")), Access::ReadWrite, list).ok());
    CheckedFile reader;
    ASSERT_TRUE(openChecked(utf8(in("List.abc")), Access::Read, reader).ok());
    {
        Replacement out;
        ASSERT_TRUE(out.begin(list.folder, ".List.abc.", list.file).ok());
        // Until the commit no one else opens it.
        std::size_t before = 0;
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            ++before;
            if (entry.path().filename() != L"List.abc") {
                // The user's own by its permissions, and this open shares
                // all: only the new file's sharing keeps it out.
                const HANDLE again =
                    CreateFileW(entry.path().c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
                const DWORD why = GetLastError();
                EXPECT_EQ(again, INVALID_HANDLE_VALUE);
                EXPECT_EQ(why, DWORD(ERROR_SHARING_VIOLATION));
                if (again != INVALID_HANDLE_VALUE)
                    CloseHandle(again);
            }
        }
        EXPECT_EQ(before, 2u);
        ASSERT_TRUE(writeAt(out.file(), "new bytes", 0).ok());
        ASSERT_TRUE(out.commit(list.name).ok());
    }
    EXPECT_EQ(bytesOf(in("List.abc")), "new bytes");
    char got[16];
    std::size_t n = 0;
    ASSERT_TRUE(readAt(reader.file, 0, got, sizeof got, n).ok());
    EXPECT_EQ(std::string(got, n), "old bytes");
}

TEST_F(Seam, ANewFileTakesANameNoOneHas) {
    CheckedFile list;
    ASSERT_EQ(openChecked(utf8(in("List.abc")), Access::ReadWrite, list).failure(),
              Failure::Missing);
    Replacement out;
    ASSERT_TRUE(out.begin(list.folder, ".List.abc.", list.file).ok());
    ASSERT_TRUE(writeAt(out.file(), "first", 0).ok());
    put(in("List.abc"), "appeared meanwhile");
    EXPECT_FALSE(out.commit(list.name).ok());
    EXPECT_EQ(bytesOf(in("List.abc")), "appeared meanwhile");
}

// A replacement that is running shares its file with no one; one that was
// killed is removed; nothing else of a like name is.
TEST_F(Seam, OnlyKilledReplacementsAreRemoved) {
    put(in("List.abc"), "x");
    CheckedFile list;
    ASSERT_TRUE(openChecked(utf8(in("List.abc")), Access::ReadWrite, list).ok());
    Replacement running;
    ASSERT_TRUE(running.begin(list.folder, ".List.abc.", list.file).ok());
    put(in(".List.abc.Ab3dE9"), "killed");
    put(in(".List.abc.Ab3dE"), "five letters");
    put(in(".List.abc.Ab3dE9x"), "seven letters");
    put(in(".List.abc.Ab-dE9"), "not a letter");
    fs::create_directory(in(".List.abc.Folder"));
    removeLeftovers(list.folder, ".List.abc.");
    EXPECT_FALSE(fs::exists(in(".List.abc.Ab3dE9")));
    std::size_t left = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_folder))
        ++left;
    EXPECT_EQ(left, 6u); // List.abc, the running one, three names, the folder
}

// The saves' lock: a file held shared with no one, in a folder that no one
// but the user (and the system) may change.
TEST_F(Seam, OnlyTheUsersOwnFolderHoldsTheSavesLock) {
    const struct {
        const char* what;
        const wchar_t* permissions; // in the system's own notation
        Failure failure;
        bool wineKeepsThem; // else the row needs real Windows
    } rows[] = {
        {"the user's alone", L"D:P(A;OICI;FA;;;OW)(A;OICI;FA;;;SY)", Failure::None, true},
        {"the administrators' too", L"D:P(A;OICI;FA;;;OW)(A;OICI;FA;;;BA)", Failure::None, true},
        {"others may read", L"D:P(A;OICI;FA;;;OW)(A;OICI;FR;;;WD)", Failure::None, true},
        {"others may add files", L"D:P(A;OICI;FA;;;OW)(A;OICI;0x2;;;WD)", Failure::Refused, true},
        {"the users may do anything", L"D:P(A;OICI;FA;;;OW)(A;OICI;FA;;;BU)", Failure::Refused,
         false},
        {"no list at all, which lets anyone", L"D:NO_ACCESS_CONTROL", Failure::Refused, false},
    };
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (wine && !row.wineKeepsThem) {
            std::cout << "needs real Windows, Wine keeps other permissions: " << row.what << "\n";
            continue;
        }
        const fs::path folder = in("locks");
        fs::remove_all(folder);
        fs::create_directory(folder);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(row.permissions, 1,
                                                                         &descriptor, nullptr));
        ASSERT_TRUE(SetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, descriptor));
        LocalFree(descriptor);
        File held;
        EXPECT_EQ(lockPrivately(utf8(folder), "sheetmass.lock", std::chrono::milliseconds(0), held)
                      .failure(),
                  row.failure);
        if (row.failure != Failure::None)
            continue;
        File second;
        EXPECT_EQ(
            lockPrivately(utf8(folder), "sheetmass.lock", std::chrono::milliseconds(30), second)
                .failure(),
            Failure::Busy);
        ASSERT_TRUE(held.close().ok());
        EXPECT_TRUE(
            lockPrivately(utf8(folder), "sheetmass.lock", std::chrono::milliseconds(0), second)
                .ok());
    }
    // A lock file others may open could be held by them.
    const fs::path folder = in("locks");
    fs::remove_all(folder);
    ASSERT_TRUE(makeFolders(utf8(folder)));
    put(folder / "sheetmass.lock", "");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;OW)(A;;FR;;;WD)",
                                                                     1, &descriptor, nullptr));
    ASSERT_TRUE(SetFileSecurityW((folder / "sheetmass.lock").c_str(), DACL_SECURITY_INFORMATION,
                                 descriptor));
    LocalFree(descriptor);
    File held;
    EXPECT_EQ(
        lockPrivately(utf8(folder), "sheetmass.lock", std::chrono::milliseconds(0), held).failure(),
        Failure::Refused);
    // Removable again.
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;FA;;;WD)", 1,
                                                                     &descriptor, nullptr));
    SetFileSecurityW((folder / "sheetmass.lock").c_str(), DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
}

// What the program makes is the user's alone: owned by the user, whose one
// entry gives every right (on a folder, passed on), protected, so
// that nothing the folder above allows others comes in; a save over a file
// others could open leaves one that only the user can. Wine, built without
// extended attributes, keeps no list as made: it derives one from the
// file's mode, unprotected, with an entry for the system, which alone may
// stand beside the user's there.
TEST_F(Seam, WhatIsMadeIsTheUsersAlone) {
    const fs::path outer = in("данные"), inner = outer / "sheetmass";
    ASSERT_TRUE(makeFolders(utf8(inner)));
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    BYTE user[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, sizeof user, &size));
    CloseHandle(token);
    const PSID me = reinterpret_cast<TOKEN_USER*>(user)->User.Sid;
    // A List.abc anyone may change, in its place before the save.
    ASSERT_TRUE(sheetmass::createEmptyListFile(utf8(outer / "List.abc")));
    put(inner / "List.abc", "planted");
    PSECURITY_DESCRIPTOR everyone = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;WD)(A;;FA;;;OW)",
                                                                     1, &everyone, nullptr));
    ASSERT_TRUE(
        SetFileSecurityW((inner / "List.abc").c_str(), DACL_SECURITY_INFORMATION, everyone));
    LocalFree(everyone);
    ASSERT_TRUE(sheetmass::saveListFile(utf8(inner / "List.abc"), {}));
    File held;
    ASSERT_TRUE(
        lockPrivately(utf8(inner), "sheetmass.lock", std::chrono::milliseconds(0), held).ok());
    // Every right on a folder; on a file, all but running it.
    constexpr DWORD kFolder = 0x1F01FF, kFile = 0x1F01DF;
    constexpr BYTE kPassedOn = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    const struct {
        const char* what;
        fs::path path;
        DWORD rights;
        BYTE passedOn;
    } rows[] = {
        {"a folder made on the way", outer, kFolder, kPassedOn},
        {"the folder asked for", inner, kFolder, kPassedOn},
        {"an empty List.abc made at the start", outer / "List.abc", kFile, 0},
        {"List.abc saved over one anyone may change", inner / "List.abc", kFile, 0},
        {"the lock", inner / "sheetmass.lock", kFile, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        PSID owner = nullptr;
        PACL dacl = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        const HANDLE h = CreateFileW(row.path.c_str(), READ_CONTROL, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_EQ(GetSecurityInfo(h, SE_FILE_OBJECT,
                                  OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                                  nullptr, &dacl, nullptr, &descriptor),
                  ERROR_SUCCESS);
        CloseHandle(h);
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
        EXPECT_TRUE(EqualSid(owner, me));
        EXPECT_TRUE(wine || (control & SE_DACL_PROTECTED));
        ASSERT_NE(dacl, nullptr);
        int mine = 0;
        for (DWORD i = 0; i < dacl->AceCount; ++i) {
            ACCESS_ALLOWED_ACE* ace = nullptr;
            ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
            const auto sid = reinterpret_cast<PSID>(&ace->SidStart);
            if (!EqualSid(sid, me)) {
                EXPECT_TRUE(wine && IsWellKnownSid(sid, WinLocalSystemSid))
                    << "entry " << i << " is another's";
                continue;
            }
            ++mine;
            EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
            EXPECT_EQ(ace->Header.AceFlags, row.passedOn);
            // Wine gives every right to whoever may read and write.
            EXPECT_EQ(ace->Mask, wine ? kFolder : row.rights);
        }
        EXPECT_EQ(mine, 1);
        LocalFree(descriptor);
    }
}

// A stream that is not there fails, as a closed descriptor does on POSIX;
// a file another holds shared with no one is busy, not denied.
TEST_F(Seam, MissingStreamsFailAndAFileHeldUnsharedIsBusy) {
    for (const Native missing : {Native(0), kNoNative}) {
        char to[8];
        std::size_t got = 1;
        EXPECT_EQ(readSome(Stream(missing), to, sizeof to, got).failure(), Failure::Other);
        EXPECT_EQ(got, 0u);
        EXPECT_EQ(writeAll(Stream(missing), "x").failure(), Failure::Other);
    }
    put(in("List.abc"), "x");
    const HANDLE held =
        CreateFileW(in("List.abc").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    for (const Access access : {Access::Read, Access::ReadWrite}) {
        CheckedFile file;
        EXPECT_EQ(openChecked(utf8(in("List.abc")), access, file).failure(), Failure::Busy);
    }
    CloseHandle(held);
}

// The lock's folder is the program's own, made, and the user's alone.
TEST_F(Seam, TheProgramsFileAndTheUsersFolders) {
    const std::string program = programFile();
    EXPECT_TRUE(isAbsolute(program)) << program;
    EXPECT_TRUE(program.ends_with("\\platform_tests.exe")) << program;
    EXPECT_FALSE(program.starts_with("\\\\?\\")) << program;
    const wchar_t* localAppData = _wgetenv(L"LOCALAPPDATA");
    ASSERT_NE(localAppData, nullptr);
    const fs::path locks = fs::path(localAppData) / "sheetmass";
    EXPECT_EQ(runtimeFolder("sheetmass"), utf8(locks));
    EXPECT_TRUE(fs::is_directory(locks));
    File held;
    EXPECT_TRUE(
        lockPrivately(utf8(locks), "sheetmass.lock", std::chrono::milliseconds(0), held).ok());
    const wchar_t* appData = _wgetenv(L"APPDATA");
    ASSERT_NE(appData, nullptr);
    EXPECT_EQ(dataFolder("sheetmass"), utf8(fs::path(appData) / "sheetmass"));
    // Installed: the installer's uninstaller beside the program, wherever.
    EXPECT_FALSE(isInstalledCopy(utf8(m_folder), "sheetmass"));
    put(in("uninstall.exe"), "");
    EXPECT_TRUE(isInstalledCopy(utf8(m_folder), "sheetmass"));
}

TEST_F(Seam, ListAbcInAFolderNamedInUnicodeRoundTrips) {
    const std::string folder = utf8(m_folder / fs::path(u8"данные") / "sheetmass");
    ASSERT_TRUE(makeFolders(folder));
    EXPECT_TRUE(folderTakesNewFiles(folder));
    const std::string list = joined(folder, "List.abc");
    const sheetmass::ListValues typical{"\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3",
                                        "2",
                                        "0,2",
                                        "-0,2",
                                        "2000",
                                        "1000",
                                        "1",
                                        2.0,
                                        "\xC4"
                                        "16 (1160)"};
    ASSERT_TRUE(sheetmass::saveListFile(list, typical));
    EXPECT_EQ(bytesOf(m_folder / fs::path(u8"данные") / "sheetmass" / "List.abc"),
              TypicalSaveImage());
}

// The place rule on Windows' names: the program's folder while it takes
// the file, else the data folder, and the copy saved last comes back.
TEST_F(Seam, ThePlacesOfListAbc) {
    const fs::path program = m_folder / fs::path(u8"программа"), data = m_folder / "data";
    fs::create_directory(program);
    const sheetmass::ListPlaces places(utf8(program), utf8(data));
    const sheetmass::Inputs typical{"Д16 (1160)", "номиналу", "2", "0,2", "-0,2",
                                    "2000",       "1000",     "1", "2"};

    EXPECT_EQ(places.restore().places, "0");
    EXPECT_EQ(bytesOf(program / "List.abc"), ""); // made where the next save goes
    // A reader of the saves' lock (an indexer, a backup) holds up no save.
    const fs::path locks = fs::path(_wgetenv(L"LOCALAPPDATA")) / "sheetmass";
    File lock;
    ASSERT_TRUE(
        lockPrivately(utf8(locks), "sheetmass.lock", std::chrono::milliseconds(0), lock).ok());
    ASSERT_TRUE(lock.close().ok());
    const HANDLE reader =
        CreateFileW((locks / "sheetmass.lock").c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(places.save(typical));
    CloseHandle(reader);
    EXPECT_EQ(bytesOf(program / "List.abc"), TypicalSaveImage());
    EXPECT_FALSE(fs::exists(data));

    // A newer copy in the data folder, saved there while the program's
    // folder held a folder named List.abc, on a machine whose clock ran an
    // hour ahead.
    fs::rename(program / "List.abc", program / "kept");
    fs::create_directory(program / "List.abc");
    sheetmass::Inputs newer = typical;
    newer.count = "7";
    ASSERT_TRUE(places.save(newer));
    fs::remove(program / "List.abc");
    fs::rename(program / "kept", program / "List.abc");
    fs::last_write_time(data / "List.abc",
                        fs::file_time_type::clock::now() + std::chrono::hours(1));
    EXPECT_EQ(places.restore().count, "7");
    // Saved last, whatever the clocks said: its time moves past the other's.
    ASSERT_TRUE(places.save(typical));
    EXPECT_GT(modified(program / "List.abc"), modified(data / "List.abc"));
    EXPECT_EQ(places.restore().count, "1");
}

} // namespace
