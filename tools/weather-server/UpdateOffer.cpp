#include "UpdateOffer.h"

#include "InstallPackage.h"

namespace {

constexpr const char* kUpdateHost = "update.skyvane.example";
// Above the installed program's 4.00, so that a check offers it.
constexpr const char* kOfferedVersion = "4.10";
constexpr const char* kOfferedProVersion = "4.10 Pro";

std::string BuildPackage(const std::string& version) {
    using installpkg::Record;
    using installpkg::RecordKind;
    return installpkg::Write({
        {RecordKind::Application, "Quillon Software Skyvane", {}},
        {RecordKind::Folder, "\\Program Files\\Skyvane", {}},
        {RecordKind::File, "\\Program Files\\Skyvane\\Update.txt", "Skyvane " + version + " update\r\n"},
    });
}

// The texts of one locale; the descriptions carry escaped markup, as the maker's catalog does.
std::string Strings(const std::string& locale, const std::string& name, const std::string& description,
                    const std::string& conditions) {
    return "  <strings locale=\"" + locale + "\">\n    <name text=\"" + name + "\"/>\n    <description>" +
           description + "</description>\n    <changes>Faster updates &amp; clearer maps.</changes>\n" +
           "    <conditions>" + conditions + "</conditions>\n  </strings>\n";
}

}  // namespace

UpdateOffer::UpdateOffer() : m_package(BuildPackage(kOfferedVersion)), m_secondPackage(BuildPackage(kOfferedProVersion)) {}

std::string UpdateOffer::ProductElement(const std::string& version, const std::string& url, size_t size, bool paid,
                                        bool withPaidFlag) const {
    std::string element = " <product version=\"" + version + "\" url=\"" + url + "\" size=\"" + std::to_string(size) +
                          "\"";
    if (withPaidFlag) {
        element += std::string(" is_update_paid=\"") + (paid ? "TRUE" : "false") + "\"";
    }
    element += ">\n";
    element += Strings("English", "Skyvane " + version,
                       "&lt;b&gt;Skyvane " + version + "&lt;/b&gt; brings ten-day hourly forecasts.",
                       paid ? "This update is offered to registered users for a fee."
                            : "This update is free of charge for every user of Skyvane.");
    element += Strings("German", "Skyvane " + version, "&lt;b&gt;Skyvane " + version +
                                                           "&lt;/b&gt; bringt st&#252;ndliche Vorhersagen f&#252;r zehn Tage.",
                       paid ? "Dieses Update ist kostenpflichtig." : "Dieses Update ist kostenlos.");
    element += " </product>\n";
    return element;
}

std::string UpdateOffer::Catalog(int productId, const Fault* fault) const {
    FaultKind kind = fault != nullptr ? fault->kind : FaultKind::ServerCode;
    std::string body = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<data>\n";
    bool known = productId == kPocketPcProduct || productId == kSmartphoneProduct;
    if (known && !(fault != nullptr && kind == FaultKind::CatalogEmpty)) {
        std::string url = std::string("http://") + kUpdateHost + kPackagePath;
        body += ProductElement(kOfferedVersion, url, m_package.size(), false,
                               !(fault != nullptr && kind == FaultKind::CatalogDamaged));
        if (fault != nullptr && kind == FaultKind::CatalogTwo) {
            // The second entry writes its scheme in capitals, as some catalogs do.
            body += ProductElement(kOfferedProVersion, std::string("HTTP://") + kUpdateHost + kSecondPackagePath,
                                   m_secondPackage.size(), true, true);
        }
    }
    body += "</data>\n";
    return body;
}

std::string UpdateOffer::Package(const std::string& path) const {
    if (path == kPackagePath) {
        return m_package;
    }
    return path == kSecondPackagePath ? m_secondPackage : std::string();
}
