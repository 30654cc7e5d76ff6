#pragma once

#include "platform/FileSystem.h"

namespace quietreel::win32 {

class Win32FileSystem : public FileSystem {
 public:
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
  std::size_t MaxPathLength() const override;
};

}  // namespace quietreel::win32
