// What a user's own program, without administrator rights, can plant or
// change before the click, one row an attack, against the release: each
// comes to nothing or is refused with a box saying so, the file it aimed at
// keeps every byte, and no planted code runs.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <string>

#include "Disk.h"
#include "Expect.h"
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

struct Attack {
  const char* name;
  // Before the program starts: `folder` is the exe's.
  std::function<void(Changes&, const std::wstring& folder)> plant;
  int faqButton;  // a repair in the troubleshooting dialog, or 0
  int press;      // a main-window button when there is no repair
  const wchar_t* text;
  bool warning;
};
void PrintTo(const Attack& attack, std::ostream* out) { *out << attack.name; }

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
    {"DllBesideTheExe",
     [](Changes&, const std::wstring& folder) { CopyPlanted(L"planted\\shcore.dll", folder + L"shcore.dll"); },
     IDC_CLEAN_TEMP_FILES, 0, kCleaned, false},
};

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
    Program program(L"Quietreel.exe", [&](const std::wstring& folder) { attack.plant(changes, folder); });
    ASSERT_NE(program.Main(), nullptr);
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
    MessageBoxView box = attack.warning ? WaitForMessageBox(program.Id(), program.Main(), owner)
                                        : WaitForMessageBox(program.Id(), owner);
    ExpectBox(box, L"Quietreel", attack.text, attack.warning);
    Answer(box, IDOK);
    if (attack.press == IDOK && !attack.warning) {
      EXPECT_TRUE(WaitUntil([] { return ProtectionOf(kHostsPath) == testsupport::kProtection; }));
    } else {
      EXPECT_EQ(ReadBytes(kHostsPath), hostsBefore);
    }
  }
  EXPECT_EQ(ReadBytes(kVictim), kVictimBytes);
  EXPECT_EQ(Attributes(kVictim), victimAttributes);
  EXPECT_EQ(ReadBytes(UserFile()), kUserFileBytes);
  EXPECT_FALSE(IsFile(QUIETREEL_E2E_PLANTED_RAN)) << "planted code ran";
  ::DeleteFileW(kVictim.c_str());
  ::DeleteFileW(UserFile().c_str());
  RemoveTree(SharedObjects());
}

INSTANTIATE_TEST_SUITE_P(Release, Attacks, ::testing::ValuesIn(kAttacks),
                         [](const ::testing::TestParamInfo<Attack>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
