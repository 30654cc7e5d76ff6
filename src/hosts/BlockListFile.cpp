#include "hosts/BlockListFile.h"

#include "hosts/HostsPaths.h"

namespace quietreel {

std::optional<std::string> LoadBlockList(const Services& services, Window& owner) {
  ReadResult read = services.files.ReadWhole(services.programDirectory + kBlockListFileName,
                                             kBlockListSizeLimit);
  if (read.status != ReadStatus::kOk) {
    owner.ShowWarning(L"源文件打开失败，未找到需要解密的文件！");
    return std::nullopt;
  }
  if (read.bytes.empty()) {
    owner.ShowWarning(L"创建解密文件失败，请检查是否有权限创建文件！");
    return std::nullopt;
  }
  return std::move(read.bytes);
}

}  // namespace quietreel
