#pragma once

#include <windows.h>
// windows.h first: unknwn.h builds on it.
#include <unknwn.h>

namespace quietreel::win32 {

// Owns a kernel handle; closes it once.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE Get() const { return handle_; }
  void Reset(HANDLE handle) {
    Close();
    handle_ = handle;
  }
  // Hands the handle to the caller, who then closes it.
  HANDLE Release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  // Closes now and says whether the system accepted it (a write can still
  // fail at close).
  bool Close() {
    if (!Valid()) return true;
    BOOL closed = ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed != FALSE;
  }

 private:
  HANDLE handle_;
};

// Owns a directory search started with FindFirstFileW.
class ScopedFind {
 public:
  explicit ScopedFind(HANDLE handle) : handle_(handle) {}
  ~ScopedFind() {
    if (Valid()) ::FindClose(handle_);
  }
  ScopedFind(const ScopedFind&) = delete;
  ScopedFind& operator=(const ScopedFind&) = delete;

  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Owns a loaded DLL.
// The named function of a loaded DLL, or null when the DLL or the function
// is missing: how calls that not every Windows has are reached.
template <typename Function>
Function* FunctionFrom(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// kernel32 and ntdll are in every process: asking them loads nothing.
template <typename Function>
Function* FunctionOfLoaded(const wchar_t* module, const char* name) {
  return FunctionFrom<Function>(::GetModuleHandleW(module), name);
}

class ScopedModule {
 public:
  explicit ScopedModule(HMODULE module) : module_(module) {}
  ~ScopedModule() {
    if (module_) ::FreeLibrary(module_);
  }
  ScopedModule(const ScopedModule&) = delete;
  ScopedModule& operator=(const ScopedModule&) = delete;

  HMODULE Get() const { return module_; }
  template <typename Function>
  Function* Find(const char* name) const {
    return FunctionFrom<Function>(module_, name);
  }

 private:
  HMODULE module_;
};

// Owns one reference to a COM object; released once.
template <typename Interface>
class ScopedCom {
 public:
  ScopedCom() = default;
  ~ScopedCom() {
    if (object_) object_->Release();
  }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;

  Interface* Get() const { return object_; }
  Interface* operator->() const { return object_; }
  // Where a call that hands out a reference puts it.
  Interface** Out() { return &object_; }
  void** OutVoid() { return reinterpret_cast<void**>(&object_); }

 private:
  Interface* object_ = nullptr;
};

}  // namespace quietreel::win32
