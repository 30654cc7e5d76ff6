// What the build put into Quietreel.exe besides the dialogs: the version
// block, the manifest and the icon, read back from the file; for the 64-bit
// exe the other tests drive and for the 32-bit release exe, which is only
// read as data (no 32-bit code runs here).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Disk.h"

namespace e2e {
namespace {

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

class Module {
 public:
  explicit Module(const std::wstring& path)
      : module_(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~Module() {
    if (module_) ::FreeLibrary(module_);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  // The resource's bytes in the given language; empty when it is missing.
  std::string Bytes(LPCWSTR type, LPCWSTR name, WORD language) const {
    HRSRC found = module_ ? ::FindResourceExW(module_, type, name, language) : nullptr;
    HGLOBAL loaded = found ? ::LoadResource(module_, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    return data ? std::string(data, ::SizeofResource(module_, found)) : std::string();
  }

 private:
  HMODULE module_;
};

std::wstring VersionString(const std::vector<char>& block, const std::wstring& field) {
  wchar_t* value = nullptr;
  UINT length = 0;
  std::wstring key = L"\\StringFileInfo\\080403a8\\" + field;
  if (!::VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) return L"<none>";
  return std::wstring(value, length > 0 ? length - 1 : 0);
}

struct Exe {
  const char* name;
  const wchar_t* variable;
};
void PrintTo(const Exe& exe, std::ostream* out) { *out << exe.name; }

class Resources : public ::testing::TestWithParam<Exe> {
 protected:
  void SetUp() override {
    path_ = Environment(GetParam().variable);
    ASSERT_FALSE(path_.empty()) << "the environment names no " << GetParam().name << " exe";
  }
  std::wstring path_;
};

INSTANTIATE_TEST_SUITE_P(Exes, Resources,
                         ::testing::Values(Exe{"Driven", L"QUIETREEL_E2E_EXE"},
                                           Exe{"Release", L"QUIETREEL_E2E_RELEASE_EXE"}),
                         [](const ::testing::TestParamInfo<Exe>& info) { return std::string(info.param.name); });

TEST_P(Resources, EveryDialogMenuAndStringIsChinesePrc) {
  Module exe(path_);
  for (int dialog : {100, 102, 105, 108})
    EXPECT_FALSE(exe.Bytes(RT_DIALOG, MAKEINTRESOURCEW(dialog), kChinesePrc).empty()) << "dialog " << dialog;
  EXPECT_FALSE(exe.Bytes(RT_MENU, MAKEINTRESOURCEW(134), kChinesePrc).empty());
  // String 101 lives in block 101 / 16 + 1.
  EXPECT_FALSE(exe.Bytes(RT_STRING, MAKEINTRESOURCEW(101 / 16 + 1), kChinesePrc).empty());
}

TEST_P(Resources, VersionBlockNamesTheProgramInChineseCodePage936) {
  const std::wstring& exe = path_;
  DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  WORD* translation = nullptr;
  ASSERT_TRUE(
      ::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 936);
  EXPECT_EQ(VersionString(block, L"InternalName"), L"Quietreel.exe");
  EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"Quietreel.exe");
  EXPECT_EQ(VersionString(block, L"FileVersion"), L"1.0.0.1");
  EXPECT_EQ(VersionString(block, L"ProductVersion"), L"1.0.0.1");
}

TEST_P(Resources, ManifestAsksNoElevationAndDeclaresCommonControlsAndDpiAwareness) {
  Module exe(path_);
  std::string manifest = exe.Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1), kChinesePrc);
  for (const char* part : {"level=\"asInvoker\"", "uiAccess=\"false\"", "Microsoft.Windows.Common-Controls",
                           "version=\"6.0.0.0\"", "PerMonitorV2, System", "<dpiAware", ">true</dpiAware>"})
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

// Two 32x32 images: one in 16 colours, one in 256.
TEST_P(Resources, IconGroupHoldsA16AndA256ColourImage) {
  Module exe(path_);
  std::string group = exe.Bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(128), kChinesePrc);
  ASSERT_GE(group.size(), 6u);
  auto word = [&](std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(group[at]) |
                                 (static_cast<unsigned char>(group[at + 1]) << 8));
  };
  ASSERT_EQ(word(4), 2u);
  ASSERT_EQ(group.size(), 6u + 2 * 14u);
  std::vector<unsigned> bits;
  for (std::size_t entry = 6; entry < group.size(); entry += 14) {
    EXPECT_EQ(static_cast<unsigned char>(group[entry]), 32);
    EXPECT_EQ(static_cast<unsigned char>(group[entry + 1]), 32);
    bits.push_back(word(entry + 6));
  }
  EXPECT_EQ(bits, (std::vector<unsigned>{4, 8}));
}

}  // namespace
}  // namespace e2e
