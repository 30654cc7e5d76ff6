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

struct CountedString {
  USHORT length, maximumLength;  // in bytes
  PWSTR buffer;
};

struct ObjectAttributes {
  ULONG length;
  HANDLE rootDirectory;
  CountedString* objectName;
  ULONG attributes;
  void* securityDescriptor;
  void* securityQualityOfService;
};

constexpr ULONG kCaseInsensitive = 0x40;  // OBJ_CASE_INSENSITIVE
constexpr ULONG kSynchronousIo = 0x20;    // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG kNotADirectory = 0x40;    // FILE_NON_DIRECTORY_FILE

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

HANDLE OpenKernelName(const std::wstring& name) {
  using OpenFileCall = LONG NTAPI(HANDLE*, ACCESS_MASK, ObjectAttributes*, IoStatus*, ULONG, ULONG);
  auto* open = FunctionOfLoaded<OpenFileCall>(L"ntdll.dll", "NtOpenFile");
  if (!open || name.empty() || name.size() * sizeof(wchar_t) > 0xfffe) return nullptr;
  std::wstring text = name;
  CountedString counted{static_cast<USHORT>(text.size() * sizeof(wchar_t)),
                        static_cast<USHORT>(text.size() * sizeof(wchar_t)), &text[0]};
  ObjectAttributes attributes{sizeof(ObjectAttributes), nullptr, &counted, kCaseInsensitive, nullptr, nullptr};
  IoStatus io{};
  HANDLE file = nullptr;
  const LONG status = open(&file, FILE_READ_ATTRIBUTES | SYNCHRONIZE, &attributes, &io,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, kSynchronousIo | kNotADirectory);
  return status >= 0 ? file : nullptr;
}

}  // namespace quietreel::win32
