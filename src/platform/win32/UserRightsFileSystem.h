#pragma once

#include <windows.h>

#include "platform/FileSystem.h"

namespace quietreel::win32 {

// Another file system's calls, each made by the calling thread wearing the
// desktop user's own token (DesktopUserToken, which the caller keeps): what
// the user's programs can change is handled with no more than the user's
// rights.
class UserRightsFileSystem : public FileSystem {
 public:
  UserRightsFileSystem(FileSystem& files, HANDLE userToken) : files_(files), token_(userToken) {}

  // False without a token; every call then fails.
  bool Ready() const { return token_ != nullptr; }

  FileFacts Look(const std::wstring& path) override;
  ReadResult ReadWhole(const std::wstring& path, std::size_t maxBytes, Names names) override;
  std::optional<std::string> ReadTail(const std::wstring& path, std::size_t count) override;
  AppendStatus Append(const std::wstring& path, const std::string& bytes, bool createIfMissing) override;
  bool CreateNew(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) override;
  bool Replace(const std::wstring& from, const std::wstring& to) override;
  bool Remove(const std::wstring& path) override;
  std::unique_ptr<HeldFile> HoldForRemoval(const std::wstring& path) override;
  bool SetAttributes(const std::wstring& path, std::uint32_t attributes) override;
  std::unique_ptr<DirectoryEnumeration> Enumerate(const std::wstring& directory) override;
  std::size_t MaxPathLength() const override { return files_.MaxPathLength(); }

 private:
  template <typename Call, typename Result>
  Result AsUser(Call call, Result refused);

  FileSystem& files_;
  HANDLE token_;
};

}  // namespace quietreel::win32
