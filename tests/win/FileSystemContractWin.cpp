// The file-system contract with Win32FileSystem as its subject, on real files
// in a scratch folder.
#include <memory>
#include <vector>

#include "FileSystemContract.h"
#include "TestSupport.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/Win32FileSystem.h"

namespace quietreel::contract {
namespace {

class Win32Subject : public Subject {
 public:
  ~Win32Subject() override { ReleaseAll(); }
  FileSystem& Files() override { return files_; }
  std::wstring Folder() const override { return scratch_.Path(); }
  void MakeFile(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) override {
    ASSERT_TRUE(testsupport::MakeFile(path, bytes));
    if (attributes) {
      ASSERT_TRUE(testsupport::SetAttributes(path, attributes));
    }
  }
  void MakeDirectory(const std::wstring& path) override { testsupport::MakeDirectories(path); }
  bool MakeLink(const std::wstring& link, const std::wstring& target) override {
    return testsupport::MakeLink(link, target);
  }
  bool MakeSecondName(const std::wstring& name, const std::wstring& existing) override {
    return ::CreateHardLinkW(name.c_str(), existing.c_str(), nullptr) != FALSE;
  }
  bool Hold(const std::wstring& path, std::uint32_t share) override {
    auto handle = std::make_unique<win32::ScopedHandle>(
        ::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle->Valid()) return false;
    held_.push_back(std::move(handle));
    return true;
  }
  void ReleaseAll() override { held_.clear(); }
  std::optional<std::string> Bytes(const std::wstring& path) override {
    win32::ScopedHandle file(
        ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return std::nullopt;
    std::string bytes(4096, '\0');
    DWORD done = 0;
    if (!::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &done, nullptr)) return std::nullopt;
    bytes.resize(done);
    return bytes;
  }
  bool IsWine() const override { return testsupport::RunningUnderWine(); }

 private:
  static constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  win32::Win32FileSystem files_;
  testsupport::ScratchFolder scratch_;
  std::vector<std::unique_ptr<win32::ScopedHandle>> held_;
};

std::unique_ptr<Subject> MakeWin32() { return std::make_unique<Win32Subject>(); }

INSTANTIATE_TEST_SUITE_P(Win32, FileSystemContract, ::testing::Values(&MakeWin32));

}  // namespace
}  // namespace quietreel::contract
