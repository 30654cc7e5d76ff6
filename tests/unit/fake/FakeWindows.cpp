#include "fake/FakeWindows.h"

#include <algorithm>

namespace quietreel::fake {
namespace {

std::wstring Normalize(const std::wstring& path) {
  std::wstring out;
  for (wchar_t c : path) {
    if (c == L'\\' && !out.empty() && out.back() == L'\\') continue;
    out += c;
  }
  while (out.size() > 2 && out.back() == L'\\') out.pop_back();
  if (out.size() == 3 && out[1] == L':' && out[2] == L'\\') out.pop_back();
  return out;
}

// NTFS folds case through its upcase table; the core only ever compares
// names that differ in ASCII letters.
wchar_t Upcase(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Upcased, so that ordering keys is NTFS's ordering of names.
std::wstring KeyOf(const std::wstring& path) {
  std::wstring key = Normalize(path);
  for (auto& c : key) c = Upcase(c);
  return key;
}

std::wstring ParentKey(const std::wstring& key) {
  auto slash = key.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : key.substr(0, slash);
}

std::wstring LastName(const std::wstring& path) {
  auto normalized = Normalize(path);
  auto slash = normalized.rfind(L'\\');
  return slash == std::wstring::npos ? normalized : normalized.substr(slash + 1);
}

}  // namespace

// What FindFirstFileW listed when the directory was opened; a removal goes
// by name, below the directory's path as it was checked.
class FakeWindows::Listing : public DirectoryEnumeration {
 public:
  Listing(FakeWindows& machine, std::wstring directory, std::vector<FileEntry> entries)
      : machine_(machine), directory_(std::move(directory)), entries_(std::move(entries)) {}
  bool Next(FileEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    entry = entries_[next_++];
    return true;
  }
  bool Remove(const FileEntry& entry) override {
    return !IsLink(entry.attributes) && machine_.Remove(directory_ + L"\\" + entry.name);
  }

 private:
  FakeWindows& machine_;
  std::wstring directory_;
  std::vector<FileEntry> entries_;
  std::size_t next_ = 0;
};

// Our own handle on a file, sharing nothing, held among the others so that
// every other open is refused while it lasts.
class FakeWindows::Held : public HeldFile {
 public:
  Held(FakeWindows& machine, int handle) : machine_(machine), handle_(handle) {}
  ~Held() override { machine_.Close(handle_); }
  bool Remove() override {
    const bool fail = machine_.Fails("RemoveHeld", machine_.handles_.count(handle_) ? machine_.handles_[handle_] : L"");
    auto held = machine_.handles_.find(handle_);
    if (fail || held == machine_.handles_.end()) return false;
    Node& node = machine_.nodes_.at(held->second);
    if (node.attributes & kAttributeReadOnly) return false;
    node.deletePending = true;
    return true;
  }

 private:
  FakeWindows& machine_;
  int handle_;
};

const std::wstring FakeWindows::kProgramDirectory = L"C:\\Program Files\\Quietreel";
const std::wstring FakeWindows::kHostsPath = L"C:\\WINDOWS\\system32\\drivers\\etc\\hosts";

FakeWindows::FakeWindows() {
  Node root;
  root.path = L"C:";
  root.directory = true;
  root.attributes = kAttributeDirectory;
  nodes_[L"C:"] = root;
  AddDirectory(L"C:\\WINDOWS\\system32\\drivers\\etc");
  AddDirectory(kProgramDirectory);
  folders_[KnownFolder::kProfile] = L"C:\\Users\\user";
  folders_[KnownFolder::kAppData] = L"C:\\Users\\user\\AppData\\Roaming";
  folders_[KnownFolder::kInternetCache] = L"C:\\Users\\user\\AppData\\Local\\Microsoft\\Windows\\INetCache";
  folders_[KnownFolder::kLocalAppData] = L"C:\\Users\\user\\AppData\\Local";
  const std::pair<KnownFolder, const wchar_t*> documents[] = {
      {KnownFolder::kDocuments, L"Documents"},   {KnownFolder::kDesktop, L"Desktop"},
      {KnownFolder::kDownloads, L"Downloads"},   {KnownFolder::kPictures, L"Pictures"},
      {KnownFolder::kMusic, L"Music"},           {KnownFolder::kVideos, L"Videos"},
      {KnownFolder::kFavorites, L"Favorites"},   {KnownFolder::kContacts, L"Contacts"},
      {KnownFolder::kSavedGames, L"Saved Games"}};
  for (const auto& [folder, name] : documents) folders_[folder] = std::wstring(L"C:\\Users\\user\\") + name;
  AddDirectory(*folders_[KnownFolder::kAppData]);
  AddDirectory(*folders_[KnownFolder::kInternetCache]);
}

// Forwards every call to the machine, marked as made with the user's rights.
class FakeWindows::UserView : public FileSystem {
 public:
  explicit UserView(FakeWindows& machine) : machine_(machine) {}
  FileFacts Look(const std::wstring& path) override {
    Marked user(machine_);
    return machine_.Look(path);
  }
  ReadResult ReadWhole(const std::wstring& path, std::size_t maxBytes, Names names) override {
    Marked user(machine_);
    return machine_.ReadWhole(path, maxBytes, names);
  }
  std::optional<std::string> ReadTail(const std::wstring& path, std::size_t count) override {
    Marked user(machine_);
    return machine_.ReadTail(path, count);
  }
  AppendStatus Append(const std::wstring& path, const std::string& bytes, bool createIfMissing) override {
    Marked user(machine_);
    return machine_.Append(path, bytes, createIfMissing);
  }
  bool CreateNew(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) override {
    Marked user(machine_);
    return machine_.CreateNew(path, bytes, attributes);
  }
  bool Replace(const std::wstring& from, const std::wstring& to) override {
    Marked user(machine_);
    return machine_.Replace(from, to);
  }
  bool Remove(const std::wstring& path) override {
    Marked user(machine_);
    return machine_.Remove(path);
  }
  std::unique_ptr<HeldFile> HoldForRemoval(const std::wstring& path) override {
    Marked user(machine_);
    return machine_.HoldForRemoval(path);
  }
  bool SetAttributes(const std::wstring& path, std::uint32_t attributes) override {
    Marked user(machine_);
    return machine_.SetAttributes(path, attributes);
  }
  // Its removals are the user's too, as the real listing's are.
  std::unique_ptr<DirectoryEnumeration> Enumerate(const std::wstring& directory) override {
    Marked user(machine_);
    return std::make_unique<UserListing>(machine_.Enumerate(directory), machine_);
  }
  std::size_t MaxPathLength() const override { return machine_.MaxPathLength(); }

 private:
  class UserListing : public DirectoryEnumeration {
   public:
    UserListing(std::unique_ptr<DirectoryEnumeration> listing, FakeWindows& machine)
        : listing_(std::move(listing)), machine_(machine) {}
    bool Next(FileEntry& entry) override { return listing_->Next(entry); }
    bool Remove(const FileEntry& entry) override {
      Marked user(machine_);
      return listing_->Remove(entry);
    }

   private:
    std::unique_ptr<DirectoryEnumeration> listing_;
    FakeWindows& machine_;
  };
  // The calls made while it lives are the user's.
  struct Marked {
    explicit Marked(FakeWindows& machine) : machine(machine) { machine.asUser_ = true; }
    ~Marked() { machine.asUser_ = false; }
    FakeWindows& machine;
  };
  FakeWindows& machine_;
};

FakeWindows::~FakeWindows() = default;

Services FakeWindows::MakeServices(const std::wstring& programDirectory) {
  if (!userView_) userView_ = std::make_unique<UserView>(*this);
  FileSystem* user = userRightsDenied_ ? nullptr : userView_.get();
  return Services{*this, *this, *this, programDirectory, user, kHostsPath, user, true, {}};
}

// --- Building ----------------------------------------------------------

FakeWindows::Node& FakeWindows::Insert(const std::wstring& path, bool directory) {
  std::wstring key = KeyOf(path);
  auto found = nodes_.find(key);
  if (found != nodes_.end()) return found->second;
  std::wstring parent = ParentKey(key);
  if (!nodes_.count(parent)) Insert(path.substr(0, Normalize(path).rfind(L'\\')), true);
  Node& node = nodes_[key];
  node.path = Normalize(path);
  node.directory = directory;
  if (directory) node.attributes = kAttributeDirectory;
  nodes_[parent].children.insert(key);
  return node;
}

void FakeWindows::AddDirectory(const std::wstring& path, std::uint32_t attributes) {
  Insert(path, true).attributes = attributes | kAttributeDirectory;
}

void FakeWindows::AddFile(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) {
  Node& node = Insert(path, false);
  node.bytes = bytes;
  node.durable = bytes;
  node.attributes = attributes;
}

void FakeWindows::AddLink(const std::wstring& path, const std::wstring& target) {
  const Node* file = Find(target);
  const bool toFile = file && !file->directory;
  if (!toFile) AddDirectory(target);
  Node& node = Insert(path, !toFile);
  node.attributes = (toFile ? 0u : static_cast<std::uint32_t>(kAttributeDirectory)) | kAttributeReparsePoint;
  node.linkTarget = Resolve(target);
}

void FakeWindows::AddHardLinkedFile(const std::wstring& path, const std::string& bytes) {
  AddFile(path, bytes);
  Insert(path, false).names = 2;
}

int FakeWindows::HoldOpen(const std::wstring& path, std::uint32_t share) {
  Node* node = Find(path);
  if (!node || !Admits(*node, kShareRead, share)) return 0;
  node->holds[++lastHandle_] = share;
  handles_[lastHandle_] = Resolve(path);
  return lastHandle_;
}

void FakeWindows::Close(int handle) {
  auto held = handles_.find(handle);
  if (held == handles_.end()) return;
  auto found = nodes_.find(held->second);
  handles_.erase(held);
  if (found == nodes_.end()) return;
  found->second.holds.erase(handle);
  if (found->second.deletePending && found->second.holds.empty()) Erase(found->first);
}

// Windows' sharing check for a new handle wanting `access` (the sharing
// bits name the kinds of access) and sharing `share`, against the handles
// other processes hold, which all read. A file pending deletion opens for
// nobody.
bool FakeWindows::Admits(const Node& node, std::uint32_t access, std::uint32_t share) {
  if (node.deletePending) return false;
  for (const auto& [handle, heldSharing] : node.holds)
    if ((access & ~heldSharing) || !(share & kShareRead)) return false;
  return true;
}

void FakeWindows::SetKnownFolder(KnownFolder folder, std::optional<std::wstring> path) {
  folders_[folder] = std::move(path);
}

// --- Lookup --------------------------------------------------------------

// Follows links in every component, as the file system does when a path
// is opened.
std::wstring FakeWindows::Resolve(const std::wstring& path) const {
  std::wstring key = KeyOf(path);
  std::wstring resolved;
  std::size_t start = 0;
  while (start <= key.size()) {
    std::size_t end = key.find(L'\\', start);
    if (end == std::wstring::npos) end = key.size();
    resolved += (resolved.empty() ? L"" : L"\\") + key.substr(start, end - start);
    auto found = nodes_.find(resolved);
    if (found != nodes_.end() && !found->second.linkTarget.empty()) resolved = found->second.linkTarget;
    start = end + 1;
  }
  return resolved;
}

FakeWindows::Node* FakeWindows::Find(const std::wstring& path) {
  auto found = nodes_.find(Resolve(path));
  return found == nodes_.end() ? nullptr : &found->second;
}

const FakeWindows::Node* FakeWindows::Find(const std::wstring& path) const {
  auto found = nodes_.find(Resolve(path));
  return found == nodes_.end() ? nullptr : &found->second;
}

std::wstring FakeWindows::OwnKey(const std::wstring& path) const {
  std::wstring key = KeyOf(path);
  auto slash = key.rfind(L'\\');
  return slash == std::wstring::npos ? key : Resolve(ParentKey(key)) + key.substr(slash);
}

const FakeWindows::Node* FakeWindows::Own(const std::wstring& path) const {
  auto found = nodes_.find(OwnKey(path));
  return found == nodes_.end() || found->second.deletePending ? nullptr : &found->second;
}

FakeWindows::Node* FakeWindows::ParentOf(const std::wstring& key) {
  auto found = nodes_.find(Resolve(ParentKey(key)));
  return found == nodes_.end() || !found->second.directory ? nullptr : &found->second;
}

void FakeWindows::Erase(const std::wstring& key) {
  Node* parent = ParentOf(key);
  if (parent) parent->children.erase(key);
  nodes_.erase(key);
}

bool FakeWindows::Exists(const std::wstring& path) const {
  auto own = nodes_.find(OwnKey(path));
  const Node* node = own != nodes_.end() ? &own->second : Find(path);
  return node && !node->deletePending;
}

bool FakeWindows::IsFile(const std::wstring& path) const {
  const Node* node = Find(path);
  return node && !node->directory;
}

bool FakeWindows::IsDirectory(const std::wstring& path) const {
  const Node* node = Find(path);
  return node && node->directory;
}

std::string FakeWindows::BytesOf(const std::wstring& path) const {
  const Node* node = Find(path);
  return node ? node->bytes : std::string();
}

std::uint32_t FakeWindows::AttributesOf(const std::wstring& path) const {
  const Node* node = Find(path);
  return node ? node->attributes : 0;
}

std::map<std::wstring, std::string> FakeWindows::Snapshot() const {
  std::map<std::wstring, std::string> out;
  for (const auto& [key, node] : nodes_) {
    std::string value = std::to_string(node.attributes) + ":" + node.bytes;
    out[node.directory ? key + L"\\" : key] = value;
  }
  return out;
}

// --- Faults ----------------------------------------------------------------

void FakeWindows::FailCall(std::size_t n) { failAt_ = n == 0 ? 0 : fallibleCalls_ + n; }

void FakeWindows::ResetCounters() {
  fallibleCalls_ = 0;
  failAt_ = 0;
  callLog_.clear();
}

void FakeWindows::BeforeCall(const std::string& call, std::function<void()> action, int nth) {
  beforeCall_[call] = Pending{nth, std::move(action)};
}

bool FakeWindows::Fails(const std::string& call, const std::wstring& path) {
  auto action = beforeCall_.find(call);
  if (action != beforeCall_.end() && --action->second.callsToGo == 0) {
    std::function<void()> run = std::move(action->second.action);
    beforeCall_.erase(action);
    run();
  }
  if (crashArmed_ && !cut_ && fallibleCalls_ == crashAt_) CutPowerNow();
  ++fallibleCalls_;
  callLog_.push_back(call + " " + Narrow(path) + (asUser_ ? " as user" : ""));
  if (!failNext_.empty() && call == failNext_) {
    failNext_.clear();
    return true;
  }
  return fallibleCalls_ == failAt_;
}

// --- FileSystem --------------------------------------------------------------

// A file pending deletion cannot be opened, not even for its facts.
FileFacts FakeWindows::Look(const std::wstring& path) {
  const FileFacts unknown{FileKind::kUnknown, 0, false};
  if (Fails("Look", path)) return unknown;
  auto found = nodes_.find(OwnKey(path));
  if (found == nodes_.end()) return {};
  const Node* node = &found->second;
  if (node->deletePending) return unknown;
  const bool plain = node->linkTarget.empty() && (node->directory || node->names == 1);
  return {node->directory ? FileKind::kDirectory : FileKind::kFile, node->attributes, plain};
}

ReadResult FakeWindows::ReadWhole(const std::wstring& path, std::size_t maxBytes, Names names) {
  bool fail = Fails("ReadWhole", path);
  const Node* own = Own(path);
  const Node* node = Find(path);
  if (!own && !node) return {ReadStatus::kMissing, {}};
  if (!node || node->directory || !Admits(*node, kShareRead, kShareRead)) return {ReadStatus::kOpenFailed, {}};
  if (!own || !own->linkTarget.empty() || (names == Names::kOneOnly && own->names > 1))
    return {ReadStatus::kNotPlain, {}};
  if (fail) return {ReadStatus::kReadFailed, {}};
  if (node->bytes.size() > maxBytes) return {ReadStatus::kTooLarge, {}};
  return {ReadStatus::kOk, node->bytes};
}

std::optional<std::string> FakeWindows::ReadTail(const std::wstring& path, std::size_t count) {
  bool fail = Fails("ReadTail", path);
  const Node* node = Find(path);
  if (fail || !node || node->directory || !Admits(*node, kShareRead, kShareRead | kShareWrite)) return std::nullopt;
  return node->bytes.substr(node->bytes.size() - std::min(count, node->bytes.size()));
}

AppendStatus FakeWindows::Append(const std::wstring& path, const std::string& bytes, bool createIfMissing) {
  bool fail = Fails("Append", path);
  Node* node = Find(path);
  if (!node) {
    if (!createIfMissing || !ParentOf(Resolve(path))) return AppendStatus::kOpenFailed;
    node = &Insert(path, false);
  } else if (node->directory || !Admits(*node, kShareWrite, kShareRead) || (node->attributes & kAttributeReadOnly)) {
    return AppendStatus::kOpenFailed;
  }
  node->attributes |= kAttributeArchive;
  if (fail) {
    node->bytes += bytes.substr(0, bytes.size() / 2);
    return AppendStatus::kWriteFailed;
  }
  node->bytes += bytes;
  Flushed(*node);
  return AppendStatus::kOk;
}

bool FakeWindows::CreateNew(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) {
  bool fail = Fails("CreateNew", path);
  if (nodes_.count(OwnKey(path)) || !ParentOf(Resolve(path))) return false;
  Node& node = Insert(path, false);
  node.bytes = fail ? bytes.substr(0, bytes.size() / 2) : bytes;
  node.attributes = attributes | kAttributeArchive;
  if (!fail) Flushed(node);
  return !fail;
}

// ReplaceFileW: the file at `to` takes the bytes of `from`, which goes; a
// missing `to` is simply named. Written through, so the journal commits.
bool FakeWindows::Replace(const std::wstring& from, const std::wstring& to) {
  bool fail = Fails("Replace", from + L" -> " + to);
  const Node* source = Find(from);
  if (!source || source->directory || !Admits(*source, kShareDelete, kShareRead | kShareWrite | kShareDelete))
    return false;
  Node* target = Find(to);
  if (fail && target && replaceBreaksHalfway_) Erase(Resolve(to));
  if (fail) return false;
  if (target && (target->directory || !target->holds.empty() || (target->attributes & kAttributeReadOnly)))
    return false;
  if (!target && !ParentOf(Resolve(to))) return false;
  Node moved = *source;
  Erase(Resolve(from));
  if (!target) target = &Insert(to, false);
  target->bytes = std::move(moved.bytes);
  target->durable = std::move(moved.durable);
  target->attributes = moved.attributes;
  JournalCommitted();
  return true;
}

bool FakeWindows::Remove(const std::wstring& path) {
  bool fail = Fails("Remove", path);
  return !fail && RemoveOwn(path);
}

// The name itself, opened for deletion without following a link: a link is
// refused, a read-only file loses the bit first, and a file still held
// open elsewhere (sharing deletion) goes once the last handle closes.
bool FakeWindows::RemoveOwn(const std::wstring& path) {
  auto found = nodes_.find(OwnKey(path));
  if (found == nodes_.end()) return false;
  Node& node = found->second;
  if (!node.linkTarget.empty() || !Admits(node, kShareDelete, kShareRead | kShareWrite | kShareDelete)) return false;
  if (node.directory && !node.children.empty()) return false;
  node.attributes &= ~static_cast<std::uint32_t>(kAttributeReadOnly);
  if (node.holds.empty()) {
    Erase(found->first);
  } else {
    node.deletePending = true;
  }
  return true;
}

std::unique_ptr<HeldFile> FakeWindows::HoldForRemoval(const std::wstring& path) {
  const bool fail = Fails("HoldForRemoval", path);
  const std::wstring key = OwnKey(path);
  auto found = nodes_.find(key);
  if (fail || found == nodes_.end()) return nullptr;
  Node& node = found->second;
  if (node.directory || !node.linkTarget.empty() || !node.holds.empty() || node.deletePending) return nullptr;
  node.holds[++lastHandle_] = 0;
  handles_[lastHandle_] = key;
  return std::make_unique<Held>(*this, lastHandle_);
}

bool FakeWindows::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
  bool fail = Fails("SetAttributes", path);
  const Node* own = Own(path);
  Node* node = Find(path);
  if (fail || !node || !own->linkTarget.empty()) return false;
  std::uint32_t kept = node->attributes & (kAttributeDirectory | kAttributeReparsePoint);
  node->attributes = kept | (attributes & ~(kAttributeDirectory | kAttributeReparsePoint));
  return true;
}

std::unique_ptr<DirectoryEnumeration> FakeWindows::Enumerate(const std::wstring& directory) {
  std::vector<FileEntry> entries;
  bool fail = Fails("Enumerate", directory);
  const Node* own = Own(directory);
  const Node* node = Find(directory);
  if (!fail && own && (own->linkTarget.empty() || listsThroughLinks_) && node && node->directory) {
    for (const auto& child : node->children) {
      const Node& entry = nodes_.at(child);
      entries.push_back({LastName(entry.path), entry.attributes});
    }
  }
  return std::make_unique<Listing>(*this, Normalize(directory), std::move(entries));
}

// --- KnownFolders --------------------------------------------------------------

std::optional<std::wstring> FakeWindows::Path(KnownFolder folder) {
  if (Fails("Path", std::to_wstring(static_cast<int>(folder)))) return std::nullopt;
  return folders_[folder];
}

// --- FakeWindow ----------------------------------------------------------------

void FakeWindow::ShowNotice(const std::wstring& text) { boxes_.push_back({BoxKind::kNotice, text, {}}); }

void FakeWindow::ShowWarning(const std::wstring& text) { boxes_.push_back({BoxKind::kWarning, text, {}}); }

bool FakeWindow::AskOkCancel(const std::wstring& text, const std::wstring& caption) {
  boxes_.push_back({BoxKind::kQuestion, text, caption});
  return answerOk_;
}

void FakeWindow::ShowStatus(const std::wstring& text) { statusLog_.push_back(text); }

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t wc : text) {
    auto c = static_cast<std::uint32_t>(wc);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace quietreel::fake
