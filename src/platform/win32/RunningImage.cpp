#include "platform/win32/RunningImage.h"

#include "platform/win32/GrowingBuffer.h"
#include "platform/win32/NtFile.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Platform.h"

namespace quietreel::win32 {

bool operator==(const FileId& one, const FileId& other) {
  return one.volume == other.volume && one.indexHigh == other.indexHigh && one.indexLow == other.indexLow;
}

std::optional<FileId> IdOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION facts{};
  if (!::GetFileInformationByHandle(file, &facts)) return std::nullopt;
  return FileId{facts.dwVolumeSerialNumber, facts.nFileIndexHigh, facts.nFileIndexLow};
}

// QueryFullProcessImageNameW came with Vista, so it is looked up by name.
// It names the file the kernel opened to map the image, not the path the
// program was started by.
std::wstring RunningImageName() {
  using QueryImageName = BOOL WINAPI(HANDLE, DWORD, LPWSTR, PDWORD);
  auto* query = FunctionOfLoaded<QueryImageName>(L"kernel32.dll", "QueryFullProcessImageNameW");
  if (!query) return ModuleFileName();
  return GrowingBuffer([query](wchar_t* buffer, DWORD size) -> DWORD {
           DWORD length = size;
           if (query(::GetCurrentProcess(), 0, buffer, &length)) return length;
           return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER ? size : 0;
         })
      .value_or(std::wstring());
}

// psapi's GetMappedFileNameW (XP on) names the file behind the exe's
// mapping, asked of the mapping's own file object now, in the kernel's
// namespace (`\Device\HarddiskVolume2\...`; Wine says `\??\C:\...`), and
// that name is opened as it is. Windows renames no folder above an open
// file, and the image is open while the program runs, so the name still
// leads to the mapped file; if anything else stands there, its number
// differs and the folder is not fixed.
std::optional<FileId> RunningImageId() {
  using MappedFileName = DWORD WINAPI(HANDLE, LPVOID, LPWSTR, DWORD);
  SystemLibrary psapi(L"psapi.dll");
  auto* mappedName = psapi.Find<MappedFileName>("GetMappedFileNameW");
  if (!mappedName) return std::nullopt;
  HMODULE image = ::GetModuleHandleW(nullptr);
  const std::optional<std::wstring> name = GrowingBuffer(
      [&](wchar_t* buffer, DWORD size) { return mappedName(::GetCurrentProcess(), image, buffer, size); });
  if (!name) return std::nullopt;
  ScopedHandle file(OpenKernelName(*name));
  return file.Valid() ? IdOf(file.Get()) : std::nullopt;
}

}  // namespace quietreel::win32
