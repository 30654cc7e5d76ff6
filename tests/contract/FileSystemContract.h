#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace quietreel::contract {

// Sharing bits of a handle, with Windows' values.
enum Share : std::uint32_t { kShareNone = 0, kShareRead = 1, kShareWrite = 2, kShareDelete = 4 };

// A file system under test, and what the contract does to it from outside,
// as another program would.
class Subject {
 public:
  virtual ~Subject() = default;
  virtual FileSystem& Files() = 0;
  // An empty folder of the test's own, without a trailing separator.
  virtual std::wstring Folder() const = 0;
  // A file with exactly these bytes and attributes (0: none, not even archive).
  virtual void MakeFile(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) = 0;
  virtual void MakeDirectory(const std::wstring& path) = 0;
  // A link (junction or symbolic link) at `link` to the file or folder
  // `target`; a second name for the file `existing` (a hard link).
  virtual bool MakeLink(const std::wstring& link, const std::wstring& target) = 0;
  virtual bool MakeSecondName(const std::wstring& name, const std::wstring& existing) = 0;
  // Opens the file for reading, sharing `share`, until ReleaseAll; false
  // when the open is refused.
  virtual bool Hold(const std::wstring& path, std::uint32_t share) = 0;
  virtual void ReleaseAll() = 0;
  // The file's bytes, or nothing when it cannot be read.
  virtual std::optional<std::string> Bytes(const std::wstring& path) = 0;
  // Wine on a Linux file system: the few rows where it differs from Windows
  // expect what Wine does, beside what Windows does.
  virtual bool IsWine() const = 0;
};

using SubjectFactory = std::unique_ptr<Subject> (*)();

// Instantiated once per subject: the fake (native) and Win32FileSystem
// (under Wine or on Windows).
class FileSystemContract : public ::testing::TestWithParam<SubjectFactory> {
 protected:
  void SetUp() override { subject_ = GetParam()(); }
  void TearDown() override { subject_->ReleaseAll(); }

  std::unique_ptr<Subject> subject_;
};

}  // namespace quietreel::contract
