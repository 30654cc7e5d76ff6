// What a user's own program, without administrator rights, can plant or
// change before the click, one row an attack, against the release: each
// comes to nothing or is refused with a box saying so, the file it aimed at
// keeps every byte, and no planted code runs.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "Disk.h"
#include "Expect.h"
#include "Pages.h"
#include "PlantedCode.h"
#include "Program.h"
#include "hosts/BlockListCodec.h"
#include "res/resource.h"

namespace e2e {
namespace {

using namespace expected;

// Everyone may write here; the elevated program must never touch it.
const std::wstring kPublic = L"C:\\users\\Public\\Documents";
const std::wstring kVictim = kPublic + L"\\victim.txt";
const std::string kVictimBytes = "someone else's file";
// The link the exe's folder is reached through, and the user's folder it is
// pointed at once the window is up.
const std::wstring kExeFolderLink = kPublic + L"\\Quietreel";
const std::wstring kElsewhere = kPublic + L"\\elsewhere";
const std::string kRedirectingHosts = "6.6.6.6 www.bank.example\r\n";
const char kPlantedHosts[] = "127.0.0.1 localhost\r\n6.6.6.6 www.bank.example\r\n";
const char kOldHosts[] = "127.0.0.1 localhost\r\n";
const char kBlockSection[] =
    "# BEGIN Quietreel block list\r\n0.0.0.0 ads.example.com\r\n# END Quietreel block list\r\n";
const char kIntranet[] = "10.0.0.5 intranet.corp.example\r\n";
const char kOldHostsAndIntranet[] = "127.0.0.1 localhost\r\n10.0.0.5 intranet.corp.example\r\n";
const char kC2[] = "0.0.0.0 c2.malware.example\r\n";
const std::string kHostsWithOthersBlocks = std::string(kOldHosts) + kIntranet + kC2;
const std::string kLocalhostAndC2 = std::string(kOldHosts) + kC2;
const std::wstring kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::wstring DriverFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.rfind(L'\\') + 1);
}

std::wstring SharedObjects() { return KnownFolder(CSIDL_APPDATA) + L"\\" + kFlashSharedObjects; }
// The user's own file, in a folder of theirs that no link leads to under
// Wine (Documents and Desktop are links to the Unix home there).
std::wstring UserFile() { return KnownFolder(CSIDL_FAVORITES) + L"\\bookmark.url"; }
const std::string kUserFileBytes = "[InternetShortcut]\r\nURL=http://example.com/\r\n";

// A key of the user's own hive, opened afresh: the process's cached handle
// for HKEY_CURRENT_USER has been seen to go stale under Wine after other
// tests. Null when it cannot be opened.
HKEY UserKey(const std::wstring& name) {
  HKEY user = nullptr, key = nullptr;
  if (::RegOpenCurrentUser(KEY_ALL_ACCESS, &user) != ERROR_SUCCESS) return nullptr;
  if (::RegCreateKeyExW(user, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    key = nullptr;
  ::RegCloseKey(user);
  return key;
}

// What the user's program changes outside the exe's folder, undone when the
// row ends.
class Changes {
 public:
  ~Changes() {
    for (auto undo = undo_.rbegin(); undo != undo_.rend(); ++undo) (*undo)();
  }
  void Environment(const wchar_t* name, const std::wstring& value) {
    wchar_t saved[1024] = {};
    const bool had = ::GetEnvironmentVariableW(name, saved, 1024) > 0;
    const std::wstring old = saved;
    ::SetEnvironmentVariableW(name, value.c_str());
    undo_.push_back([name, had, old] { ::SetEnvironmentVariableW(name, had ? old.c_str() : nullptr); });
  }
  void ShellFolder(const wchar_t* value, const std::wstring& path) {
    HKEY key = UserKey(kShellFolders);
    ASSERT_NE(key, nullptr);
    wchar_t old[MAX_PATH] = {};
    DWORD size = sizeof(old), type = 0;
    const bool had = ::RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == 0;
    ::RegSetValueExW(key, value, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                     static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    const std::wstring saved = old;
    undo_.push_back([value, had, type, saved] {
      HKEY key = UserKey(kShellFolders);
      if (!key) return;
      if (had) {
        ::RegSetValueExW(key, value, 0, type, reinterpret_cast<const BYTE*>(saved.c_str()),
                         static_cast<DWORD>((saved.size() + 1) * sizeof(wchar_t)));
      } else {
        ::RegDeleteValueW(key, value);
      }
      ::RegCloseKey(key);
    });
  }
  // The cache setting pointed at the profile's folder `name`, which holds a
  // file of the user's that must keep every byte (checked once the program
  // has ended).
  void CacheSettingAt(const std::wstring& name) {
    const std::wstring sub = KnownFolder(CSIDL_PROFILE) + L"\\" + name + L"\\sub";
    const std::string precious = "the user's own";
    ASSERT_TRUE(MakeFile(sub + L"\\precious.txt", precious));
    ShellFolder(L"Cache", L"%USERPROFILE%\\" + name);
    undo_.push_back([sub, precious] {
      EXPECT_EQ(ReadBytes(sub + L"\\precious.txt"), precious);
      RemoveTree(sub);
    });
  }
  void Link(const std::wstring& link, const std::wstring& target) {
    RemoveTree(link);
    testsupport::MakeDirectories(link.substr(0, link.rfind(L'\\')));
    ASSERT_TRUE(testsupport::MakeLink(link, target)) << "cannot make a link here";
    ASSERT_TRUE(Attributes(link) & FILE_ATTRIBUTE_REPARSE_POINT || !IsDirectory(target)) << "not a link";
    undo_.push_back([link] { RemoveTree(link); });
  }

 private:
  std::vector<std::function<void()>> undo_;
};

// The names and bytes of the files in a folder.
std::map<std::wstring, std::string> FilesIn(const std::wstring& folder) {
  std::map<std::wstring, std::string> files;
  WIN32_FIND_DATAW data{};
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return files;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      files[data.cFileName] = ReadBytes(folder + L"\\" + data.cFileName).value_or("<unreadable>");
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return files;
}

// The exe's folder link pointed at a folder of the user's own that holds
// one file, as the user's program can do while the window is up.
void Retarget(Changes& changes, const std::wstring& name, const std::string& bytes) {
  RemoveTree(kElsewhere);
  ASSERT_TRUE(MakeFile(kElsewhere + L"\\" + name, bytes));
  changes.Link(kExeFolderLink, kElsewhere);
}

struct Attack {
  const char* name;
  // Before the program starts: `folder` is the exe's.
  std::function<void(Changes&, const std::wstring& folder)> plant;
  int faqButton;  // a repair in the troubleshooting dialog, or 0
  int press;      // a main-window button when there is no repair
  const wchar_t* text;
  bool warning;
  // Started through kExeFolderLink rather than from its folder.
  bool throughLink = false;
  // Once the window is up, before the press.
  std::function<void(Changes&)> meanwhile = nullptr;
  // What the user does instead of a press, with what it must show.
  std::function<void(const Program&)> use = nullptr;
  // The hosts file's bytes afterwards, when the plant wrote it.
  const char* hostsAfter = nullptr;
};
void PrintTo(const Attack& attack, std::ostream* out) { *out << attack.name; }

// A core.dat the user's program wrote, encoding `plain`.
void PlantList(const std::wstring& folder, const std::string& plain) {
  ASSERT_TRUE(WriteBytes(folder + kCoreDatName,
                         quietreel::EncodeBlockList(quietreel::kBlockListBaseChar, plain, quietreel::kBlockListSeed)));
}

// Opened by the user's program for reading, shut to deletion, until the
// object goes.
class HeldOpen {
 public:
  explicit HeldOpen(const std::wstring& path)
      : file_(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~HeldOpen() {
    if (file_ != INVALID_HANDLE_VALUE) ::CloseHandle(file_);
  }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
  bool Held() const { return file_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE file_;
};

// Presses a main-window button and answers the box, which must say `text`.
void PressExpecting(const Program& program, int button, const wchar_t* text, bool warning) {
  Command(program.Main(), button);
  MessageBoxView box = WaitForMessageBox(program.Id(), program.Main());
  ExpectBox(box, L"Quietreel", text, warning);
  Answer(box, IDOK);
}

// Block, then a VPN client's entry added, then Restore while the user's
// program holds `held` open: what Restore says, and what a second Restore
// then says, with the hosts file that must stay after each.
void RestoreWhileHeld(const Program& program, const std::wstring& held, const wchar_t* first, const wchar_t* second) {
  ASSERT_TRUE(WriteBytes(kHostsPath, kOldHosts));
  PressExpecting(program, IDOK, kBlocked, false);
  ASSERT_TRUE(WaitUntil([] { return ProtectionOf(kHostsPath) == testsupport::kProtection; }));
  ::SetFileAttributesW(kHostsPath, FILE_ATTRIBUTE_NORMAL);
  const std::string blocked = ReadBytes(kHostsPath).value_or("") + kIntranet;
  ASSERT_TRUE(WriteBytes(kHostsPath, blocked));
  {
    HeldOpen holder(held == kBackupName ? program.Folder() + kBackupName : held);
    ASSERT_TRUE(holder.Held());
    PressExpecting(program, IDC_RESTORE, first, first != kRestored);
    EXPECT_EQ(ReadBytes(kHostsPath), first == kRestored ? std::string(kOldHostsAndIntranet) : blocked);
  }
  PressExpecting(program, IDC_RESTORE, second, second != kRestored);
  EXPECT_EQ(ReadBytes(kHostsPath), std::string(kOldHostsAndIntranet));
}

void CopyPlanted(const std::wstring& from, const std::wstring& to) {
  ASSERT_TRUE(::CopyFileW((DriverFolder() + from).c_str(), to.c_str(), FALSE)) << "the planted code is not built";
}

const Attack kAttacks[] = {
    // The command interpreter named by COMSPEC, and an attrib beside the exe.
    {"ComspecAndAttribBesideTheExe",
     [](Changes& changes, const std::wstring& folder) {
       CopyPlanted(L"quietreel_e2e_planted.exe", folder + L"attrib.exe");
       CopyPlanted(L"quietreel_e2e_planted.exe", folder + L"cmd.exe");
       changes.Environment(L"COMSPEC", folder + L"attrib.exe");
     },
     0, IDOK, kBlocked, false},
    {"CacheFolderSettingOutsideTheProfile",
     [](Changes& changes, const std::wstring&) { changes.ShellFolder(L"Cache", kPublic); }, IDC_CLEAN_TEMP_FILES, 0,
     kFoldersUnsafe, true},
    {"FlashFolderLinkedElsewhere",
     [](Changes& changes, const std::wstring&) {
       changes.Link(KnownFolder(CSIDL_APPDATA) + L"\\Macromedia\\Flash Player", kPublic);
     },
     IDC_CLEAN_TEMP_FILES, 0, kFoldersUnsafe, true},
    {"StorageEntryLinkedToAFile",
     [](Changes& changes, const std::wstring&) {
       changes.Link(SharedObjects() + L"\\K7Q2ZL3D\\" + kVideoSiteStaticHost, kVictim);
     },
     IDC_REPAIR_BLACK_SCREEN, 0, kFoldersUnsafe, true},
    {"CoreDatThatRedirects",
     [](Changes&, const std::wstring& folder) {
       const std::string plain = "0.0.0.0 ads.example.com\n6.6.6.6 www.bank.example\n";
       ASSERT_TRUE(WriteBytes(folder + kCoreDatName, quietreel::EncodeBlockList(quietreel::kBlockListBaseChar, plain,
                                                                                quietreel::kBlockListSeed)));
     },
     0, IDOK, kListDamaged, true},
    // `backup` written by a program of the user's before any Block.
    {"BackupPlantedBeforeAnyBlock_Restore",
     [](Changes&, const std::wstring& folder) { ASSERT_TRUE(WriteBytes(folder + kBackupName, kPlantedHosts)); }, 0,
     IDC_RESTORE, kBackupUntrusted, true},
    {"BackupPlantedBeforeAnyBlock_Block",
     [](Changes&, const std::wstring& folder) { ASSERT_TRUE(WriteBytes(folder + kBackupName, kPlantedHosts)); }, 0,
     IDOK, kBackupUntrusted, true},
    // A VPN client's entry added after Block, and a `backup` rewritten since:
    // Restore takes out only Block's section.
    {"OthersEntryAfterBlockStays",
     [](Changes&, const std::wstring& folder) {
       ASSERT_TRUE(WriteBytes(kHostsPath, std::string(kOldHosts) + kBlockSection + kIntranet));
       ASSERT_TRUE(WriteBytes(folder + kBackupName, kPlantedHosts));
     },
     0, IDC_RESTORE, kRestored, false, false, nullptr, nullptr, kOldHostsAndIntranet},
    // Block's "no hosts file" marker, or the start of the hosts file that
    // every user can read, written as `backup`: nothing vouches for either.
    {"MarkerPlantedAsBackup_Block",
     [](Changes&, const std::wstring& folder) {
       ASSERT_TRUE(WriteBytes(kHostsPath, kHostsWithOthersBlocks));
       ASSERT_TRUE(WriteBytes(folder + kBackupName, std::string(kMarker, kMarkerSize)));
     },
     0, IDOK, kBackupUntrusted, true, false, nullptr, nullptr, kHostsWithOthersBlocks.c_str()},
    {"MarkerPlantedAsBackup_Restore",
     [](Changes&, const std::wstring& folder) {
       ASSERT_TRUE(WriteBytes(kHostsPath, kHostsWithOthersBlocks));
       ASSERT_TRUE(WriteBytes(folder + kBackupName, std::string(kMarker, kMarkerSize)));
     },
     0, IDC_RESTORE, kBackupUntrusted, true, false, nullptr, nullptr, kHostsWithOthersBlocks.c_str()},
    {"PrefixOfTheHostsFilePlantedAsBackup",
     [](Changes&, const std::wstring& folder) {
       ASSERT_TRUE(WriteBytes(kHostsPath, kLocalhostAndC2));
       ASSERT_TRUE(WriteBytes(folder + kBackupName, kOldHosts));
     },
     0, IDC_RESTORE, kBackupUntrusted, true, false, nullptr, nullptr, kLocalhostAndC2.c_str()},
    // Lists that are not the one the build shipped.
    {"CoreDatWithoutMarkers",
     [](Changes&, const std::wstring& folder) { PlantList(folder, "0.0.0.0 ads.example.com\n"); }, 0, IDOK,
     kListDamaged, true},
    {"CoreDatWithABlockAfterItsEnd",
     [](Changes&, const std::wstring& folder) {
       PlantList(folder, "# BEGIN Quietreel block list\n0.0.0.0 ads.example.com\n# END Quietreel block list\n"
                         "0.0.0.0 definitionupdates.av-vendor.example\n");
     },
     0, IDOK, kListDamaged, true},
    {"CoreDatMarkedButNotShipped",
     [](Changes&, const std::wstring& folder) {
       PlantList(folder, "# BEGIN Quietreel block list\n0.0.0.0 definitionupdates.av-vendor.example\n"
                         "# END Quietreel block list\n");
     },
     0, IDOK, kListDamaged, true},
    // A file held open by the user's program: a Restore that says it worked
    // leaves nothing that vouches for `backup`, and one that cannot take
    // the record changes nothing.
    {"BackupHeldDuringRestore", [](Changes&, const std::wstring&) {}, 0, 0, nullptr, false, false, nullptr,
     [](const Program& program) { RestoreWhileHeld(program, kBackupName, kRestored, kBackupUntrusted); }},
    {"RecordHeldDuringRestore", [](Changes&, const std::wstring&) {}, 0, 0, nullptr, false, false, nullptr,
     [](const Program& program) { RestoreWhileHeld(program, kRecordPath, kRestoreFailed, kRestored); }},
    {"CoreDatThatSendsANameToThisMachine",
     [](Changes&, const std::wstring& folder) {
       const std::string plain =
           "# BEGIN Quietreel block list\n127.0.0.1 www.bank.example\n# END Quietreel block list\n";
       ASSERT_TRUE(WriteBytes(folder + kCoreDatName, quietreel::EncodeBlockList(quietreel::kBlockListBaseChar, plain,
                                                                                quietreel::kBlockListSeed)));
     },
     0, IDOK, kListDamaged, true},
    {"BackupLinkedToAnotherFile",
     [](Changes& changes, const std::wstring& folder) { changes.Link(folder + kBackupName, kVictim); }, 0, IDC_RESTORE,
     kNotPlainFile, true},
    // The cache folder's setting pointed at the user's own data.
    {"CacheSettingIsAUserDataFolder",
     [](Changes& changes, const std::wstring&) { changes.ShellFolder(L"Cache", L"%USERPROFILE%\\Favorites"); },
     IDC_CLEAN_TEMP_FILES, 0, kHoldsUserData, true},
    {"CacheSettingIsTheProfile",
     [](Changes& changes, const std::wstring&) { changes.ShellFolder(L"Cache", L"%USERPROFILE%"); },
     IDC_CLEAN_TEMP_FILES, 0, kHoldsUserData, true},
    // Or at a folder of the user's that is not the browser's cache.
    {"CacheSettingIsOneDrive", [](Changes& changes, const std::wstring&) { changes.CacheSettingAt(L"OneDrive"); },
     IDC_CLEAN_TEMP_FILES, 0, kHoldsUserData, true},
    {"CacheSettingIsTheSshKeys", [](Changes& changes, const std::wstring&) { changes.CacheSettingAt(L".ssh"); },
     IDC_CLEAN_TEMP_FILES, 0, kHoldsUserData, true},
    {"CacheSettingIsTheDpapiKeys",
     [](Changes& changes, const std::wstring&) { changes.CacheSettingAt(L"AppData\\Roaming\\Microsoft\\Protect"); },
     IDC_CLEAN_TEMP_FILES, 0, kHoldsUserData, true},
    {"DllBesideTheExe",
     [](Changes&, const std::wstring& folder) { CopyPlanted(L"planted\\shcore.dll", folder + L"shcore.dll"); },
     IDC_CLEAN_TEMP_FILES, 0, kCleaned, false},
    // The browser an elevated program starts is its child, with its token,
    // and the user's HKCU handlers choose it on Windows; every page must be
    // started by the desktop shell instead. Wine reads no HKCU classes, so
    // the handler that records its opener is in HKLM (scripts/test-e2e.sh).
    {"PagesOpenedByTheElevatedProgram", [](Changes&, const std::wstring&) {}, 0, 0, nullptr, false, false, nullptr,
     [](const Program& program) {
       const std::vector<OpenedPage> pages = OpenEveryPage(program);
       EXPECT_EQ(pages.size(), 5u);
       for (const OpenedPage& page : pages) EXPECT_EQ(page.opener, "explorer.exe") << page.address;
     }},
    // The exe's folder is fixed when the program starts: its link pointed
    // elsewhere later yields no backup to Restore and gets none from Block.
    {"ExeFolderRetargetedBeforeRestore", [](Changes&, const std::wstring&) {}, 0, IDC_RESTORE, kAlreadyRestored, false,
     true, [](Changes& changes) { Retarget(changes, kBackupName, kRedirectingHosts); }},
    {"ExeFolderRetargetedBeforeBlock", [](Changes&, const std::wstring&) {}, 0, IDOK, kBlocked, false, true,
     [](Changes& changes) {
       Retarget(changes, kCoreDatName,
                quietreel::EncodeBlockList(quietreel::kBlockListBaseChar, "0.0.0.0 ads.example.com\n",
                                           quietreel::kBlockListSeed));
     }},
};

// The row's press and the box it must bring: from the troubleshooting
// dialog for a repair, else from the main window. The hosts file is
// blocked after a Block that succeeds and keeps every byte otherwise.
void PressAndExpectTheBox(const Attack& attack, const Program& program, const std::optional<std::string>& hostsBefore) {
  HWND owner = program.Main();
  if (attack.faqButton) {
    Command(program.Main(), IDC_OPEN_FAQ);
    owner = WaitForDialog(program.Id(), program.Main());
    ASSERT_NE(owner, nullptr);
    Command(owner, attack.faqButton);
    if (attack.faqButton == IDC_CLEAN_TEMP_FILES) Answer(WaitForMessageBox(program.Id(), owner), IDOK);
  } else {
    Command(owner, attack.press);
  }
  // Warnings belong to the main window, whichever dialog asked.
  MessageBoxView box =
      attack.warning ? WaitForMessageBox(program.Id(), program.Main(), owner) : WaitForMessageBox(program.Id(), owner);
  ExpectBox(box, L"Quietreel", attack.text, attack.warning);
  Answer(box, IDOK);
  if (attack.hostsAfter) {
    EXPECT_EQ(ReadBytes(kHostsPath), std::string(attack.hostsAfter));
  } else if (attack.press == IDOK && !attack.warning) {
    EXPECT_TRUE(WaitUntil([] { return ProtectionOf(kHostsPath) == testsupport::kProtection; }));
  } else {
    EXPECT_EQ(ReadBytes(kHostsPath), hostsBefore);
  }
}

class Attacks : public ::testing::TestWithParam<Attack> {};

TEST_P(Attacks, ComeToNothing) {
  const Attack& attack = GetParam();
  HostsGuard guard;
  const std::optional<std::string> hostsBefore = ReadBytes(kHostsPath);
  ::DeleteFileW(QUIETREEL_E2E_PLANTED_RAN);
  ASSERT_TRUE(MakeFile(kVictim, kVictimBytes));
  ASSERT_TRUE(MakeFile(UserFile(), kUserFileBytes));
  const DWORD victimAttributes = Attributes(kVictim);
  {
    Changes changes;
    Program program(
        L"Quietreel.exe", [&](const std::wstring& folder) { attack.plant(changes, folder); },
        attack.throughLink ? kExeFolderLink : L"");
    ASSERT_NE(program.Main(), nullptr);
    if (attack.meanwhile) attack.meanwhile(changes);
    const std::map<std::wstring, std::string> elsewhere = FilesIn(kElsewhere);
    if (attack.use) {
      attack.use(program);
    } else {
      PressAndExpectTheBox(attack, program, hostsBefore);
    }
    EXPECT_EQ(FilesIn(kElsewhere), elsewhere) << "the folder the link was pointed at changed";
  }
  EXPECT_EQ(ReadBytes(kVictim), kVictimBytes);
  EXPECT_EQ(Attributes(kVictim), victimAttributes);
  EXPECT_EQ(ReadBytes(UserFile()), kUserFileBytes);
  EXPECT_FALSE(IsFile(QUIETREEL_E2E_PLANTED_RAN)) << "planted code ran";
  ::DeleteFileW(kVictim.c_str());
  ::DeleteFileW(UserFile().c_str());
  RemoveTree(kElsewhere);
  RemoveTree(SharedObjects());
}

INSTANTIATE_TEST_SUITE_P(Release, Attacks, ::testing::ValuesIn(kAttacks),
                         [](const ::testing::TestParamInfo<Attack>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
