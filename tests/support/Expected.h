#pragma once

// What the user is told and where the program works, spelled out once for
// every test layer: the texts of its windows and message boxes, the pages it
// opens, its paths. The tests keep their own copy of each text, so a changed
// message in the program is a failing test, not a silently followed one. No
// Windows header, so the native tests use it too.
namespace quietreel::expected {

inline constexpr wchar_t kBlocked[] = L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";
inline constexpr wchar_t kAlreadyBlocked[] = L"广告已经屏蔽！";
inline constexpr wchar_t kNoBlockList[] = L"数据文件不存存，屏蔽失败！";
inline constexpr wchar_t kListUnreadable[] = L"源文件打开失败，未找到需要解密的文件！";
inline constexpr wchar_t kListEmpty[] = L"创建解密文件失败，请检查是否有权限创建文件！";
inline constexpr wchar_t kListDamaged[] = L"数据文件 core.dat 已损坏，屏蔽失败，未做任何修改！";
inline constexpr wchar_t kNotPlainFile[] = L"core.dat 或 backup 是链接或有多个文件名，为安全起见未做任何修改！";
inline constexpr wchar_t kBackupUntrusted[] =
    L"程序目录中的 backup 文件不是本程序屏蔽广告时保存的副本，为安全起见未做任何修改！请确认 hosts 文件无误后删除该 "
    L"backup 文件，再重新操作。";
inline constexpr wchar_t kNoProgramFolder[] = L"无法确定程序所在的文件夹，为安全起见未做任何修改！";
inline constexpr wchar_t kNoUserRights[] = L"无法以当前用户的权限运行，为安全起见未做任何修改！";
inline constexpr wchar_t kInterrupted[] = L"操作过当中被中断，请检查是否有权限创建文件！";
inline constexpr wchar_t kRestored[] = L"解除广告屏蔽成功，请重启浏览器查看效果！";
inline constexpr wchar_t kAlreadyRestored[] = L"广告已经恢复，感谢使用！";
inline constexpr wchar_t kRestoreFailed[] = L"恢复失败，请检查是否有权限修改文件！";
inline constexpr wchar_t kReset[] = L"重置成功，请按帮助说明里步骤重新屏蔽广告！";
inline constexpr wchar_t kResetFailed[] = L"重置失败，请检查是否有权限修改文件！";

inline constexpr wchar_t kNothingToRepair[] = L"未出现过优酷黑屏问题！";
inline constexpr wchar_t kRepaired[] = L"恭喜您，黑屏问题解决成功，请重新打开浏览器观看，祝您愉快！";
inline constexpr wchar_t kRepairFailed[] = L"黑屏问题解决失败，请关闭浏览器及正在观看的视频后重试！";
inline constexpr wchar_t kFoldersUnsafe[] =
    L"浏览器数据文件夹不在当前用户的目录中，或其路径中有链接，为安全起见未删除任何文件！";
inline constexpr wchar_t kRepairNoUserRights[] = L"无法以当前用户的权限运行，为安全起见未删除任何文件！";
inline constexpr wchar_t kHoldsUserData[] = L"浏览器缓存文件夹的设置指向了您的个人文件夹，为安全起见未删除任何文件！";
inline constexpr wchar_t kCleanupQuestion[] = L"删除临时文件需要一段时间，确定继续?";
inline constexpr wchar_t kCleanupCaption[] = L"提示";
inline constexpr wchar_t kCleaning[] = L"临时文件清理中，请您耐心等候...";
inline constexpr wchar_t kCleaned[] = L"删除临时文件成功！";

// What attrib +h +r +s leaves on a file, and the bit the file system adds
// to every file it writes, as Windows numbers them.
inline constexpr unsigned kHiddenReadOnlySystem = 0x1 | 0x2 | 0x4;
inline constexpr unsigned kArchive = 0x20;

inline constexpr wchar_t kTitle[] = L"Brassfen工作室 - Quietreel1.0";
inline constexpr wchar_t kAboutTitle[] = L"关于 Brassfen工作室 - Quietreel1.0";
inline constexpr wchar_t kHelpTitle[] = L"帮助 Brassfen工作室 - Quietreel1.0";
inline constexpr wchar_t kFaqTitle[] = L"常见问题列表";
inline constexpr wchar_t kSystemMenuAbout[] = L"关于 Quietreel(&A)...";

// The maker's pages: the About links, and "检查更新".
inline constexpr char kWebsitePage[] = "http://www.brassfen.example/";
inline constexpr char kShopPage[] = "http://shop.brassfen.example/";
inline constexpr char kMicroblogPage[] = "http://weibo.brassfen.example/";
inline constexpr char kUpdatePage[] = "http://www.brassfen.example/Download/?1-1.html";

// Paths: the hosts file; beside the exe, the block list and the saved hosts
// file; under AppData, the player's storage and the name of the entry the
// black-screen repair replaces.
inline constexpr wchar_t kHostsPath[] = L"C:\\windows\\system32\\drivers\\etc\\hosts";
inline constexpr wchar_t kCoreDatName[] = L"core.dat";
inline constexpr wchar_t kBackupName[] = L"backup";
// The record Block keeps of `backup`, beside the hosts file.
inline constexpr wchar_t kRecordPath[] = L"C:\\windows\\system32\\drivers\\etc\\quietreel-backup.txt";
inline constexpr wchar_t kVideoSiteStaticHost[] = L"static.youku.com";
inline constexpr wchar_t kFlashSharedObjects[] = L"Macromedia\\Flash Player\\#SharedObjects";

// `backup` when there was no hosts file: three lines and a zero byte.
inline constexpr char kMarker[] = "Brassfen\r\nwww.brassfen.example\r\nAny problem contact us!";
inline constexpr unsigned kMarkerSize = sizeof kMarker;  // with its zero byte

}  // namespace quietreel::expected
