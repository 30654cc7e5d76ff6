#pragma once

namespace quietreel {

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
inline constexpr wchar_t kBlocked[] = L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";
inline constexpr wchar_t kAlreadyRestored[] = L"广告已经恢复，感谢使用！";
inline constexpr wchar_t kRestored[] = L"解除广告屏蔽成功，请重启浏览器查看效果！";
inline constexpr wchar_t kRestoreFailed[] = L"恢复失败，请检查是否有权限修改文件！";
inline constexpr wchar_t kReset[] = L"重置成功，请按帮助说明里步骤重新屏蔽广告！";
inline constexpr wchar_t kResetFailed[] = L"重置失败，请检查是否有权限修改文件！";

}  // namespace quietreel
