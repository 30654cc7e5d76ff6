// What the build put into the release exe besides its code, read back from
// the file: every dialog, the menu and the strings in Simplified Chinese,
// and the manifest Windows reads before the program starts.
#include <gtest/gtest.h>

#include <string>

#include "Disk.h"
#include "res/resource.h"

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
  std::string Bytes(LPCWSTR type, int name, WORD language) const {
    HRSRC found = module_ ? ::FindResourceExW(module_, type, MAKEINTRESOURCEW(name), language) : nullptr;
    HGLOBAL loaded = found ? ::LoadResource(module_, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    return data ? std::string(data, ::SizeofResource(module_, found)) : std::string();
  }

 private:
  HMODULE module_;
};

TEST(Resources, EveryDialogTheMenuAndTheStringsAreChinesePrc) {
  Module exe(Environment(L"QUIETREEL_E2E_EXE"));
  for (int dialog : {IDD_ABOUTBOX, IDD_QUIETREEL_DIALOG, IDD_FAQ, IDD_HELP})
    EXPECT_FALSE(exe.Bytes(RT_DIALOG, dialog, kChinesePrc).empty()) << "dialog " << dialog;
  EXPECT_FALSE(exe.Bytes(RT_MENU, IDR_MENU, kChinesePrc).empty());
  // A string lives in block id / 16 + 1.
  EXPECT_FALSE(exe.Bytes(RT_STRING, IDS_ABOUTBOX / 16 + 1, kChinesePrc).empty());
}

TEST(Resources, ManifestAsksNoElevationAndDeclaresCommonControlsAndDpiAwareness) {
  Module exe(Environment(L"QUIETREEL_E2E_EXE"));
  std::string manifest = exe.Bytes(RT_MANIFEST, 1, kChinesePrc);
  for (const char* part : {"level=\"asInvoker\"", "uiAccess=\"false\"", "Microsoft.Windows.Common-Controls",
                           "version=\"6.0.0.0\"", "PerMonitorV2, System", "<dpiAware", ">true</dpiAware>"})
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace e2e
