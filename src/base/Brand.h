#pragma once

// The program's title and the maker's addresses, kept in one place.
namespace quietreel {

inline constexpr wchar_t kTitleText[] = L"Brassfen工作室 - Quietreel1.0";
inline constexpr char kMakerHostName[] = "www.brassfen.example";
inline constexpr wchar_t kMakerWebsiteUrl[] = L"http://www.brassfen.example/";
inline constexpr wchar_t kMakerShopUrl[] = L"http://shop.brassfen.example/";
inline constexpr wchar_t kMakerMicroblogUrl[] = L"http://weibo.brassfen.example/";
inline constexpr wchar_t kDownloadPageUrl[] = L"http://www.brassfen.example/Download/?1-1.html";

}  // namespace quietreel
