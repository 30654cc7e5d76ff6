#include "platform/win32/NtFile.h"

#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {
namespace {

struct IoStatus {
  ULONG_PTR status;
  ULONG_PTR information;
};

constexpr int kFileBasicInformation = 4;
constexpr int kFileStandardInformation = 5;
constexpr int kFileDispositionInformation = 13;

struct BasicInformation {
  LARGE_INTEGER creation, lastAccess, lastWrite, change;  // zero when set: left as they are
  ULONG attributes;
};

struct StandardInformation {
  LARGE_INTEGER allocationSize, endOfFile;
  ULONG numberOfLinks;
  BOOLEAN deletePending, directory;
};

using FileInformationCall = LONG NTAPI(HANDLE, IoStatus*, void*, ULONG, int);

bool Call(const char* name, HANDLE file, void* information, ULONG size, int informationClass) {
  auto* call = FunctionOfLoaded<FileInformationCall>(L"ntdll.dll", name);
  IoStatus io{};
  return call && call(file, &io, information, size, informationClass) >= 0;
}

}  // namespace

std::optional<DWORD> AttributesOf(HANDLE file) {
  BasicInformation basic{};
  if (!Call("NtQueryInformationFile", file, &basic, sizeof(basic), kFileBasicInformation)) return std::nullopt;
  return basic.attributes;
}

std::optional<ULONG> NamesOf(HANDLE file) {
  StandardInformation standard{};
  if (!Call("NtQueryInformationFile", file, &standard, sizeof(standard), kFileStandardInformation)) return std::nullopt;
  return standard.numberOfLinks;
}

bool SetAttributesOf(HANDLE file, DWORD attributes) {
  BasicInformation basic{};
  basic.attributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
  return Call("NtSetInformationFile", file, &basic, sizeof(basic), kFileBasicInformation);
}

bool MarkForDeletion(HANDLE file) {
  BOOLEAN deleteFile = TRUE;
  return Call("NtSetInformationFile", file, &deleteFile, sizeof(deleteFile), kFileDispositionInformation);
}

}  // namespace quietreel::win32
