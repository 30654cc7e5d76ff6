#pragma once

namespace quietreel {

// The system's cache of name lookups. Windows keeps answers it already has,
// so a changed hosts file takes effect at once only after a flush.
class DnsCache {
 public:
  virtual ~DnsCache() = default;
  // Best effort: says nothing and waits for nothing when the cache cannot
  // be flushed (the DNS Client service stopped, no such call).
  virtual void Flush() = 0;
};

}  // namespace quietreel
