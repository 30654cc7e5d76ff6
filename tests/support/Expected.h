#pragma once

// What the program shows and where it works, as a user meets it: the texts
// of its windows and message boxes, the pages it opens, the paths it uses.
// One copy for every test layer; no Windows header, so native tests can use
// it too.
namespace expected {

inline constexpr wchar_t kTitle[] = L"Brassfen工作室 - Quietreel1.0";
inline constexpr wchar_t kAboutTitle[] = L"关于 Brassfen工作室 - Quietreel1.0";
inline constexpr wchar_t kHelpTitle[] = L"帮助 Brassfen工作室 - Quietreel1.0";
inline constexpr wchar_t kFaqTitle[] = L"常见问题列表";
inline constexpr wchar_t kSystemMenuAbout[] = L"关于 Quietreel(&A)...";

// Message boxes: captioned with the program's file name without ".exe",
// except the cleanup question.
inline constexpr wchar_t kBlocked[] = L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";
inline constexpr wchar_t kAlreadyBlocked[] = L"广告已经屏蔽！";
inline constexpr wchar_t kNoDataFile[] = L"数据文件不存存，屏蔽失败！";
inline constexpr wchar_t kRestored[] = L"解除广告屏蔽成功，请重启浏览器查看效果！";
inline constexpr wchar_t kAlreadyRestored[] = L"广告已经恢复，感谢使用！";
inline constexpr wchar_t kReset[] = L"重置成功，请按帮助说明里步骤重新屏蔽广告！";
inline constexpr wchar_t kInterrupted[] = L"操作过当中被中断，请检查是否有权限创建文件！";
inline constexpr wchar_t kRestoreFailed[] = L"恢复失败，请检查是否有权限修改文件！";
inline constexpr wchar_t kResetFailed[] = L"重置失败，请检查是否有权限修改文件！";
inline constexpr wchar_t kRepaired[] = L"恭喜您，黑屏问题解决成功，请重新打开浏览器观看，祝您愉快！";
inline constexpr wchar_t kNothingToRepair[] = L"未出现过优酷黑屏问题！";
inline constexpr wchar_t kCleanupCaption[] = L"提示";
inline constexpr wchar_t kCleanupQuestion[] = L"删除临时文件需要一段时间，确定继续?";
inline constexpr wchar_t kCleaning[] = L"临时文件清理中，请您耐心等候...";
inline constexpr wchar_t kCleaned[] = L"删除临时文件成功！";

// The maker's pages: the About links, and "检查更新".
inline constexpr char kWebsitePage[] = "http://www.brassfen.example/";
inline constexpr char kShopPage[] = "http://shop.brassfen.example/";
inline constexpr char kMicroblogPage[] = "http://weibo.brassfen.example/";
inline constexpr char kUpdatePage[] = "http://www.brassfen.example/Download/?1-1.html";

// Paths: the hosts file; beside the exe, the block list and the saved hosts
// file; under the user's AppData, the player's storage and the entry the
// black-screen repair replaces.
inline constexpr wchar_t kHostsPath[] = L"C:\\windows\\system32\\drivers\\etc\\hosts";
inline constexpr wchar_t kCoreDatName[] = L"core.dat";
inline constexpr wchar_t kBackupName[] = L"backup";
inline constexpr wchar_t kSharedObjectsUnderAppData[] = L"\\Macromedia\\Flash Player\\#SharedObjects";
inline constexpr wchar_t kBlackScreenEntryName[] = L"static.youku.com";

}  // namespace expected
