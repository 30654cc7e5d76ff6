// The file-system contract with the fake as its subject.
#include "FileSystemContract.h"
#include "fake/FakeWindows.h"

namespace quietreel::contract {
namespace {

using fake::FakeWindows;
static_assert(kShareRead == FakeWindows::kShareRead && kShareWrite == FakeWindows::kShareWrite &&
                  kShareDelete == FakeWindows::kShareDelete,
              "the fake takes Windows' sharing bits");

class FakeSubject : public Subject {
 public:
  FakeSubject() { machine_.AddDirectory(Folder()); }
  FileSystem& Files() override { return machine_; }
  std::wstring Folder() const override { return L"C:\\Users\\user\\AppData\\Local\\Temp\\contract"; }
  void MakeFile(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) override {
    machine_.AddFile(path, bytes, attributes);
  }
  void MakeDirectory(const std::wstring& path) override { machine_.AddDirectory(path); }
  bool MakeLink(const std::wstring& link, const std::wstring& target) override {
    machine_.AddLink(link, target);
    return true;
  }
  bool MakeSecondName(const std::wstring& name, const std::wstring& existing) override {
    const std::string bytes = machine_.BytesOf(existing);
    machine_.AddHardLinkedFile(existing, bytes);
    machine_.AddHardLinkedFile(name, bytes);
    return true;
  }
  bool Hold(const std::wstring& path, std::uint32_t share) override {
    const int handle = machine_.HoldOpen(path, share);
    if (handle) handles_.push_back(handle);
    return handle != 0;
  }
  void ReleaseAll() override {
    for (int handle : handles_) machine_.Close(handle);
    handles_.clear();
  }
  std::optional<std::string> Bytes(const std::wstring& path) override {
    if (!machine_.IsFile(path)) return std::nullopt;
    return machine_.BytesOf(path);
  }
  bool IsWine() const override { return false; }

 private:
  FakeWindows machine_;
  std::vector<int> handles_;
};

std::unique_ptr<Subject> MakeFake() { return std::make_unique<FakeSubject>(); }

INSTANTIATE_TEST_SUITE_P(Fake, FileSystemContract, ::testing::Values(&MakeFake));

}  // namespace
}  // namespace quietreel::contract
