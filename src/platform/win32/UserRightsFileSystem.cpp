#include "platform/win32/UserRightsFileSystem.h"

#include "platform/win32/UserRights.h"

namespace quietreel::win32 {
namespace {

// A listing whose calls are made with the user's rights too.
class UserListing : public DirectoryEnumeration {
 public:
  UserListing(std::unique_ptr<DirectoryEnumeration> listing, HANDLE token)
      : listing_(std::move(listing)), token_(token) {}
  bool Next(FileEntry& entry) override { return listing_->Next(entry); }
  bool Remove(const FileEntry& entry) override {
    ScopedThreadToken user(token_);
    return user.Worn() && listing_->Remove(entry);
  }

 private:
  std::unique_ptr<DirectoryEnumeration> listing_;
  HANDLE token_;
};

class EmptyListing : public DirectoryEnumeration {
 public:
  bool Next(FileEntry&) override { return false; }
  bool Remove(const FileEntry&) override { return false; }
};

}  // namespace

template <typename Call, typename Result>
Result UserRightsFileSystem::AsUser(Call call, Result refused) {
  ScopedThreadToken user(token_);
  return user.Worn() ? call() : std::move(refused);
}

FileFacts UserRightsFileSystem::Look(const std::wstring& path) {
  return AsUser([&] { return files_.Look(path); }, FileFacts{FileKind::kUnknown, 0, false});
}

ReadResult UserRightsFileSystem::ReadWhole(const std::wstring& path, std::size_t maxBytes, Names names) {
  return AsUser([&] { return files_.ReadWhole(path, maxBytes, names); }, ReadResult{ReadStatus::kOpenFailed, {}});
}

std::optional<std::string> UserRightsFileSystem::ReadTail(const std::wstring& path, std::size_t count) {
  return AsUser([&] { return files_.ReadTail(path, count); }, std::optional<std::string>());
}

AppendStatus UserRightsFileSystem::Append(const std::wstring& path, const std::string& bytes, bool createIfMissing) {
  return AsUser([&] { return files_.Append(path, bytes, createIfMissing); }, AppendStatus::kOpenFailed);
}

bool UserRightsFileSystem::CreateNew(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) {
  return AsUser([&] { return files_.CreateNew(path, bytes, attributes); }, false);
}

bool UserRightsFileSystem::Replace(const std::wstring& from, const std::wstring& to) {
  return AsUser([&] { return files_.Replace(from, to); }, false);
}

bool UserRightsFileSystem::Remove(const std::wstring& path) {
  return AsUser([&] { return files_.Remove(path); }, false);
}

// Rights are checked when the file is opened, so its removal through the
// handle needs the token no more.
std::unique_ptr<HeldFile> UserRightsFileSystem::HoldForRemoval(const std::wstring& path) {
  return AsUser([&] { return files_.HoldForRemoval(path); }, std::unique_ptr<HeldFile>());
}

bool UserRightsFileSystem::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
  return AsUser([&] { return files_.SetAttributes(path, attributes); }, false);
}

std::unique_ptr<DirectoryEnumeration> UserRightsFileSystem::Enumerate(const std::wstring& directory) {
  return AsUser(
      [&]() -> std::unique_ptr<DirectoryEnumeration> {
        return std::make_unique<UserListing>(files_.Enumerate(directory), token_);
      },
      std::unique_ptr<DirectoryEnumeration>(std::make_unique<EmptyListing>()));
}

}  // namespace quietreel::win32
