// Which packages and bundles stand for the runtimes, browsers and office suites a user asks
// about. Names are those the distributions' package databases use (Debian and its derivatives,
// Fedora and openSUSE) and the application ids of Flathub and the Snap store.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace tavrin::collectors {

/// A package name pattern: '*' stands for any text, '#' for one or more digits
/// ("openjdk-#-jre-headless").
bool PackageNameMatches(std::string_view pattern, std::string_view name);

struct RuntimeRow {
  std::string_view id;  ///< also the software service's program id, where it has one
  std::vector<std::string_view> packages;  ///< most telling first
};
/// In the order the Programs page lists them.
std::span<const RuntimeRow> RuntimeRows();

struct ProductRow {
  std::string_view id;
  std::string_view name;  ///< the product's own name
  std::vector<std::string_view> packages;
  std::vector<std::string_view> bundles;  ///< Flatpak ids and snap names
};
std::span<const ProductRow> BrowserRows();

struct OfficeSuiteRow {
  ProductRow product;
  struct Component {
    std::string_view name;
    std::vector<std::string_view> packages;
  };
  /// The suite's applications; a bundle install has them all.
  std::vector<Component> components;
};
std::span<const OfficeSuiteRow> OfficeSuiteRows();

}  // namespace tavrin::collectors
