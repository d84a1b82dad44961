#pragma once

#include <string_view>

// Where the About box's two links lead: the maker's web site, where the
// newest version is to be had, and the support mail address.
namespace links {

inline constexpr std::string_view kSiteAddress = "https://www.corvane.example/arrayforge/";
inline constexpr std::string_view kSupportMail = "mailto:support@corvane.example";

}  // namespace links
