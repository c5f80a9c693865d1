// What the update server offers: the catalog of program updates for a product id and the install package
// that a catalog entry points to (in the installer stand-in's own package format).
#pragma once

#include <string>

#include "FaultSwitch.h"

class UpdateOffer {
public:
    // The product ids of the program for the two kinds of device.
    static constexpr int kPocketPcProduct = 1201;
    static constexpr int kSmartphoneProduct = 1202;
    static constexpr const char* kPackagePath = "/updates/Skyvane.arm.cab";
    static constexpr const char* kSecondPackagePath = "/updates/Skyvane.pro.arm.cab";

    UpdateOffer();

    // The catalog reply for a product: UTF-8 with a byte-order mark. An unknown product gets an empty
    // catalog. The fault kinds CatalogEmpty, CatalogTwo and CatalogDamaged change it.
    std::string Catalog(int productId, const Fault* fault) const;
    // The package at a path of the catalog, or empty when there is none.
    std::string Package(const std::string& path) const;

private:
    std::string ProductElement(const std::string& version, const std::string& url, size_t size, bool paid,
                               bool withPaidFlag) const;

    std::string m_package;
    std::string m_secondPackage;
};
