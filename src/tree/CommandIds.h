// Command ids (the menu ids), popup menu ids and view-update hint bits shared by nodes,
// documents and views.
#pragma once

#include <cstdint>

#include "output/UpdateHints.h"

namespace cmd {
constexpr std::uint32_t kDumpToFile = 32769;
constexpr std::uint32_t kExpand = 32774;
constexpr std::uint32_t kExpandLots = 32777;
constexpr std::uint32_t kCollapse = 32778;
constexpr std::uint32_t kHideAll = 32787;
constexpr std::uint32_t kShowAllData = 32788;
constexpr std::uint32_t kShowAll = 32793;
constexpr std::uint32_t kPlaceholders = 32794;
constexpr std::uint32_t kHidePlaceholders = 32795;
constexpr std::uint32_t kWhatsThis = 32800;
} // namespace cmd

namespace menu {
constexpr std::uint32_t kNodePopup = 139;
constexpr std::uint32_t kPlaceholderPopup = 141;
} // namespace menu
