// Installs one package of the installer's own format (InstallPackage.h) into the device: reads and checks
// the whole package first, so that a damaged or hostile one changes nothing, then creates the folders,
// puts every file in place through a temporary copy beside it, marks the application installed and runs
// the package's programs. Each outcome goes to the device log "installer".
#pragma once

#include <string>
#include <vector>

#include "InstallPackage.h"

class PackageInstaller {
public:
    // The device path of the package; quiet when the command line asked for no user interface.
    PackageInstaller(std::u16string packagePath, bool quiet) : m_package(std::move(packagePath)), m_quiet(quiet) {}

    // True when every step ran; the reason of a failure is in Problem().
    bool Install();
    const std::string& Problem() const { return m_problem; }

private:
    bool ReadPackage(std::string* bytes);
    bool CheckRecords();
    bool CheckDevicePath(const installpkg::Record& record);
    bool CreateFolders();
    bool StageFiles();
    bool PlaceFiles();
    void DiscardStaged();
    bool MarkInstalled();
    bool RunPrograms();
    bool Fail(const std::string& reason);
    void LogEvent(const std::string& event, std::vector<std::pair<std::string, std::string>> fields = {});

    std::u16string m_package;
    bool m_quiet = false;
    std::vector<installpkg::Record> m_records;
    std::vector<std::u16string> m_staged;  // the temporary copies, in record order of the files
    std::vector<std::u16string> m_createdFolders;
    std::string m_problem;
};
