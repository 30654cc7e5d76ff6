#include "platform/win32/ScopedOle.h"

// windows.h first: these build on it.
#include <objbase.h>
#include <objidl.h>

namespace quietreel::win32 {

// IGlobalOptions, implemented by ole32 alone. Outside the unnamed
// namespace: there a compiler may take a class nothing in this file
// derives from as having no implementation at all.
struct ComGlobalOptions : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Set(int property, ULONG_PTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE Query(int property, ULONG_PTR* value) = 0;
};

namespace {

// ole32's process-wide options object (Windows 7 on; the unmarshaling
// policy, option 5, from Windows 8), declared for Windows 8 headers only.
constexpr CLSID kGlobalOptions = {0x0000034b, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kGlobalOptionsInterface = {0x0000015b, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr int kUnmarshalingPolicy = 5;
constexpr ULONG_PTR kStrongPolicy = 1;

// Who may call the program's objects: the system and administrators with
// their full token. A program of the desktop user's, Administrators
// deny-only in its token, is not among them. An absolute descriptor, as
// CoInitializeSecurity takes it; it is made on the stack and copied by COM.
class Callers {
 public:
  Callers() {
    DWORD size = sizeof(system_);
    ok_ = ::CreateWellKnownSid(WinLocalSystemSid, nullptr, system_, &size);
    size = sizeof(administrators_);
    ok_ = ok_ && ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators_, &size);
    constexpr DWORD kRights = COM_RIGHTS_EXECUTE | COM_RIGHTS_EXECUTE_LOCAL;
    ok_ = ok_ && ::InitializeAcl(reinterpret_cast<ACL*>(acl_), sizeof(acl_), ACL_REVISION) &&
          ::AddAccessAllowedAce(reinterpret_cast<ACL*>(acl_), ACL_REVISION, kRights, system_) &&
          ::AddAccessAllowedAce(reinterpret_cast<ACL*>(acl_), ACL_REVISION, kRights, administrators_) &&
          ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
          ::SetSecurityDescriptorOwner(&descriptor_, administrators_, FALSE) &&
          ::SetSecurityDescriptorGroup(&descriptor_, administrators_, FALSE) &&
          ::SetSecurityDescriptorDacl(&descriptor_, TRUE, reinterpret_cast<ACL*>(acl_), FALSE);
  }
  Callers(const Callers&) = delete;
  Callers& operator=(const Callers&) = delete;

  SECURITY_DESCRIPTOR* Descriptor() { return ok_ ? &descriptor_ : nullptr; }

 private:
  alignas(DWORD) BYTE system_[SECURITY_MAX_SID_SIZE] = {};
  alignas(DWORD) BYTE administrators_[SECURITY_MAX_SID_SIZE] = {};
  alignas(DWORD) BYTE acl_[sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)] = {};
  SECURITY_DESCRIPTOR descriptor_{};
  bool ok_ = false;
};

// The strong policy is set and read back: Windows 7 has the options
// object but refuses the option, and an older COM has no object at all.
bool UseStrongUnmarshaling(const SystemLibrary& ole32) {
  using CreateInstance = HRESULT WINAPI(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
  auto* create = ole32.Find<CreateInstance>("CoCreateInstance");
  if (!create) return false;
  ComGlobalOptions* options = nullptr;
  const HRESULT made = create(kGlobalOptions, nullptr, CLSCTX_INPROC_SERVER, kGlobalOptionsInterface,
                              reinterpret_cast<void**>(&options));
  if (made != S_OK || !options) return false;
  ULONG_PTR policy = 0;
  const bool strong = options->Set(kUnmarshalingPolicy, kStrongPolicy) == S_OK &&
                      options->Query(kUnmarshalingPolicy, &policy) == S_OK && policy == kStrongPolicy;
  options->Release();
  return strong;
}

// EOAC_NO_CUSTOM_MARSHAL: an object reference the desktop shell hands the
// program is unmarshaled only by COM's own unmarshalers, never by a class
// that a registry entry names and that would be loaded into the elevated
// process. RPC_C_IMP_LEVEL_IDENTIFY: a server the program calls may learn
// who calls, never act as the administrator. CoInitializeSecurity can be
// set once a process, and only before the first marshaling; where it
// refuses, COM keeps what it had and nothing more is said.
ComSecurity SecureCom(const SystemLibrary& ole32) {
  using InitializeSecurity = HRESULT WINAPI(PSECURITY_DESCRIPTOR, LONG, SOLE_AUTHENTICATION_SERVICE*, void*, DWORD,
                                            DWORD, void*, DWORD, void*);
  auto* initialize = ole32.Find<InitializeSecurity>("CoInitializeSecurity");
  Callers callers;
  ComSecurity security;
  security.set = initialize && callers.Descriptor() &&
                 initialize(callers.Descriptor(), -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                            RPC_C_IMP_LEVEL_IDENTIFY, nullptr, EOAC_NO_CUSTOM_MARSHAL, nullptr) == S_OK;
  security.strongUnmarshaling = UseStrongUnmarshaling(ole32);
  return security;
}

}  // namespace

// ole32 is loaded by its full path rather than imported: whatever an
// import pulls in is loaded before wWinMain can narrow the DLL search. The
// elevated program is the higher side of a boundary, and what the desktop
// shell hands it must bring no code of the user's choosing into it, so
// COM's security is set before anything can be marshaled.
ScopedOle::ScopedOle() : ole32_(L"ole32.dll") {
  using Initialize = HRESULT WINAPI(LPVOID);
  using Uninitialize = void WINAPI();
  auto* initialize = ole32_.Find<Initialize>("OleInitialize");
  auto* uninitialize = ole32_.Find<Uninitialize>("OleUninitialize");
  if (!initialize || !uninitialize || FAILED(initialize(nullptr))) return;
  uninitialize_ = uninitialize;
  security_ = SecureCom(ole32_);
}

ScopedOle::~ScopedOle() {
  if (uninitialize_) uninitialize_();
}

}  // namespace quietreel::win32
