// Silent installation of the maker's utilities catalog, a package left in "\Temp", and the rewrite of
// the utilities' start page so that its links lead to the catalog of this kind of device.
#pragma once

#include "ce/types.h"

namespace CatalogCabInstaller {

constexpr LPCWSTR kPackageName = u"Catalog.arm.CAB";
constexpr LPCWSTR kInstalledKey = u"Software\\Apps\\Quillon Utilities";
// The maker's web site as the start page names it; each line's first mention is replaced.
constexpr const char* kSitePrefix = "http://www.quillon.example.com/";
constexpr LPCWSTR kDefaultCatalogLink = u"http://www.quillon.example.com/utilities/catalog/";

// Hands the package to the system installer without a user interface and waits for it. True when the
// installer was started and did not refuse the package; false when the utilities are installed already
// (the package is then deleted), the package cannot be prepared, the installer could not be started or
// it reported a failure.
bool InstallCabPackage(LPCWSTR path);

// Older systems take a cabinet only without the bytes a download may append: cuts the file to the
// total size that its header records at offset 8. False when the file cannot be opened or read, or
// records a size that it does not hold.
bool CutToCabinetSize(LPCWSTR path);

// Rewrites "<Program Files>\QuillonUtilities\index.html" with the maker's site replaced by the URL. The
// page is replaced only by a whole new copy; a missing page is left alone (true), a page that cannot be
// read or rewritten stays as it was (false).
bool SetUtilitiesCatalogLink(LPCWSTR url);

// The catalog link of this device kind from the language files, or the built-in default.
void GetCatalogLink(LPWSTR link, int size);

// The whole command-line step: installs "\Temp\Catalog.arm.CAB" when it is there and then points the
// start page at the catalog link. 1 when the package was installed, else 0.
int InstallUtilitiesCatalog();

}  // namespace CatalogCabInstaller
