#include "Weather/COnlineUpdateMgr.h"

#include <algorithm>
#include <cstdlib>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "Weather/ByteSizeText.h"

namespace {

constexpr ULONGLONG kAlwaysEnough = 4ull << 30;
constexpr int kMessageSize = 512;
constexpr int kFreeSpaceDecimals = 2;
constexpr unsigned kAborted = 3;
constexpr unsigned kNoConnection = 2;
constexpr int kPictureDepth = 16;

std::u16string Text(const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

// A bitmap in a memory context for the span of one use.
class SelectedBitmap {
public:
    SelectedBitmap(HDC like, HBITMAP bitmap) : m_dc(CreateCompatibleDC(like)) {
        m_old = m_dc != nullptr && bitmap != nullptr ? SelectObject(m_dc, bitmap) : nullptr;
    }
    ~SelectedBitmap() {
        if (m_old != nullptr) {
            SelectObject(m_dc, m_old);
        }
        if (m_dc != nullptr) {
            DeleteDC(m_dc);
        }
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;
    HDC DC() const { return m_old != nullptr ? m_dc : nullptr; }

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

}  // namespace

COnlineUpdateMgr::~COnlineUpdateMgr() = default;

unsigned COnlineUpdateMgr::CheckForUpdates(HWND owner, UserInterface::IDlgScreenCapture* ownerScreen,
                                           IOnlineUpdateScreens* screens, bool automatic) {
    if (owner == nullptr || ownerScreen == nullptr || screens == nullptr || m_screens != nullptr) {
        return kOutcomeNothing;
    }
    m_owner = owner;
    m_ownerScreen = ownerScreen;
    m_screens = screens;
    if (!TakeOwnerPicture()) {
        ShowMessage("IDS_UNKNOWN_ERROR");
        return kOutcomeNothing;
    }
    CreateDirectoryW(kTempFolder, nullptr);
    DeleteFileW(kPackageFile);
    unsigned outcome = RunCheck(automatic);
    // An installed package stays where the installer read it, and an empty catalog never made one.
    Cleanup(outcome == kOutcomeInstallerStarted || (m_catalogRead && m_catalog.GetCount() == 0));
    m_picture.Release();
    return outcome == kOutcomeNothing && m_catalogRead ? static_cast<unsigned>(kOutcomeCatalogRead) : outcome;
}

unsigned COnlineUpdateMgr::RunCheck(bool automatic) {
    if (automatic) {
        std::u16string question = Text("IDS_AUTOMATIC_CHECK_UPDATE_MSG");
        if (!Confirmed(RunScreen({1}, [&] { return m_screens->AskAutomaticCheck(question.c_str()); }))) {
            return kOutcomeNothing;
        }
    }
    GUID destination = {};
    if (!Confirmed(RunScreen({1}, [&] { return m_screens->ChooseConnection(&destination); })) ||
        !QueryCatalog(destination)) {
        return kOutcomeNothing;
    }
    if (m_catalog.GetCount() == 0) {
        ShowMessage("IDS_UPDATE_NOT_REQUIRED_MSG");
        return kOutcomeNothing;
    }
    const CProductInfo* product = ChooseProduct();
    if (product == nullptr || !FitsFreeSpace(*product) || !DownloadPackage(destination, *product)) {
        return kOutcomeNothing;
    }
    ShowMessage("IDS_UPDATE_SUCCEESSFULLY_DOWNLOAD_MSG");
    if (!RunInstaller()) {
        ShowMessage("IDS_UNKNOWN_ERROR");
        return kOutcomeNothing;
    }
    return kOutcomeInstallerStarted;
}

template <class Screen>
int COnlineUpdateMgr::RunScreen(std::initializer_list<unsigned> handOver, Screen screen) {
    m_handOver.assign(handOver);
    int result = screen();
    m_handOver.clear();
    m_shown = nullptr;
    return result;
}

// ---- transitions --------------------------------------------------------------------------------

bool COnlineUpdateMgr::TakeOwnerPicture() {
    HBITMAP owner = m_ownerScreen->CaptureScreen();
    int width = m_ownerScreen->GetCaptureWidth();
    int height = m_ownerScreen->GetCaptureHeight();
    if (owner == nullptr || width <= 0 || height <= 0) {
        return false;
    }
    SelectedBitmap source(nullptr, owner);
    return source.DC() != nullptr && KeepPicture(source.DC(), 0, 0, width, height);
}

bool COnlineUpdateMgr::KeepPicture(HDC from, int srcX, int srcY, int width, int height) {
    if (!m_picture.IsValid() || m_picture.Width() != width || m_picture.Height() != height) {
        m_picture.Release();
        if (!m_picture.Create(width, height, kPictureDepth)) {
            return false;
        }
    }
    return BitBlt(m_picture.DC(), 0, 0, width, height, from, srcX, srcY, SRCCOPY) != FALSE;
}

UserInterface::CSmartDialog::TransitionInfo COnlineUpdateMgr::GetTransition() {
    UserInterface::CSmartDialog::TransitionInfo transition;
    transition.previousScreen = this;
    transition.openingEffect = this;
    transition.closingEffect = this;
    return transition;
}

bool COnlineUpdateMgr::Play(HDC target, int x, int y, int width, int height, HDC from, HDC to, int srcX, int srcY) {
    const bool shownEnded = m_shown != nullptr && m_shown->GetResult() != -1;
    if (shownEnded && from != nullptr &&
        std::find(m_handOver.begin(), m_handOver.end(), static_cast<unsigned>(m_shown->GetResult())) !=
            m_handOver.end()) {
        return KeepPicture(from, srcX, srcY, width, height);
    }
    UserInterface::CGenericEffect* effect = UserInterface::CreateTransitionEffect(kTransitionKind);
    if (effect == nullptr) {
        return false;
    }
    effect->SetDuration(GetDuration());
    if (m_picture.IsValid() && m_shown != nullptr && !shownEnded) {
        return effect->Play(target, x, y, width, height, m_picture.DC(), to, srcX, srcY);
    }
    return effect->Play(target, x, y, width, height, from, to, srcX, srcY);
}

void COnlineUpdateMgr::PlayClosingTransition() {
    if (!m_picture.IsValid()) {
        return;
    }
    HDC screen = GetDC(m_owner);
    SelectedBitmap owner(screen, m_ownerScreen->CaptureScreen());
    RECT client = {};
    if (screen != nullptr && owner.DC() != nullptr && GetClientRect(m_owner, &client)) {
        Play(screen, 0, 0, client.right, client.bottom, m_picture.DC(), owner.DC(), 0, 0);
    }
    if (screen != nullptr) {
        ReleaseDC(m_owner, screen);
    }
}

// ---- the steps ----------------------------------------------------------------------------------

bool COnlineUpdateMgr::QueryCatalog(const GUID& destination) {
    CatalogRequest request;
    request.destination = destination;
    CDelegate job(&OnlineUpdate::CatalogRequestJob, reinterpret_cast<INT_PTR>(&request));
    unsigned jobResult = 1;
    std::u16string waitText = Text("IDS_LOOKING_FOR_UPDATES");
    int ended = RunScreen({1, 2, 3}, [&] {
        return m_screens->RunDownloadJob(IOnlineUpdateScreens::kCatalogQuery, waitText.c_str(), job, &jobResult);
    });
    bool loaded = ended == 1 && request.reply != nullptr && request.replySize > 1 &&
                  m_catalog.LoadFromReply(request.reply, request.replySize);
    std::free(request.reply);
    if (ended != 1) {
        ReportJobFailure(ended < 0 ? 1 : jobResult);
        return false;
    }
    if (!loaded) {
        ShowMessage("IDS_ERR_DATA_WRONG_FORMAT", true);
        return false;
    }
    m_catalogRead = true;
    return true;
}

bool COnlineUpdateMgr::Confirmed(int answer) {
    if (answer < 0) {
        ShowMessage("IDS_UNKNOWN_ERROR");
    }
    return answer == 1;
}

const CProductInfo* COnlineUpdateMgr::ChooseProduct() {
    if (m_catalog.GetCount() == 1) {
        int answer = RunScreen({1}, [&] { return m_screens->OfferProduct(*m_catalog.GetProduct(0)); });
        return Confirmed(answer) ? m_catalog.GetProduct(0) : nullptr;
    }
    int selected = -1;
    if (!Confirmed(RunScreen({1}, [&] { return m_screens->SelectProduct(m_catalog, &selected); }))) {
        return nullptr;
    }
    const CProductInfo* product = m_catalog.GetProduct(selected);
    if (product == nullptr) {
        ShowMessage("IDS_UNKNOWN_ERROR");
    }
    return product;
}

ULONGLONG COnlineUpdateMgr::FreeBytes() {
    ULARGE_INTEGER free = {};
    return GetDiskFreeSpaceExW(u"\\", &free, nullptr, nullptr) ? free.QuadPart : 0;
}

std::u16string COnlineUpdateMgr::NotEnoughSpaceText(DWORD packageSize) {
    ByteSizeText size = DescribeByteSize(packageSize);
    WCHAR pattern[kMessageSize];
    WCHAR text[kMessageSize];
    if (!CLocalization::Global().GetTemplate("IDS_NOT_ENOUGH_FREE_MEMORY_TMPL", pattern, kMessageSize)) {
        return {};
    }
    const std::u16string number = ByteSizeNumber(size, kFreeSpaceDecimals);
    const std::u16string unit = Text(size.unitKey);
    wsprintfW(text, pattern, number.c_str(), unit.c_str());
    return text;
}

bool COnlineUpdateMgr::FitsFreeSpace(const CProductInfo& product) {
    ULONGLONG free = FreeBytes();
    if (free >= kAlwaysEnough || product.GetSize() <= free) {
        return true;
    }
    ShowText(NotEnoughSpaceText(product.GetSize()), false);
    return false;
}

bool COnlineUpdateMgr::DownloadPackage(const GUID& destination, const CProductInfo& product) {
    PackageRequest request;
    request.destination = destination;
    request.expectedSize = product.GetSize();
    lstrcpynW(request.filePath, kPackageFile, MAX_PATH);
    if (product.GetUrl()[0] == 0 || lstrlenW(product.GetUrl()) >= MAX_PATH) {
        ShowMessage("IDS_UNKNOWN_ERROR");
        return false;
    }
    lstrcpynW(request.url, product.GetUrl(), MAX_PATH);
    CDelegate job(&OnlineUpdate::PackageRequestJob, reinterpret_cast<INT_PTR>(&request));
    unsigned jobResult = 1;
    int ended = RunScreen({1, 2, 3}, [&] {
        return m_screens->RunDownloadJob(IOnlineUpdateScreens::kPackageDownload, nullptr, job, &jobResult);
    });
    if (ended != 1) {
        // A transfer that was cut short leaves no package behind, whoever ended it.
        DeleteFileW(kPackageFile);
        ReportJobFailure(ended < 0 ? 1 : jobResult);
        return false;
    }
    return true;
}

// The user is told when the installer refused the package (a damaged one, say): it ends with a nonzero
// code then, having installed nothing.
bool COnlineUpdateMgr::RunInstaller() {
    WCHAR installer[MAX_PATH];
    if (!CSysInfo::ExpandPath(kInstaller, installer, MAX_PATH)) {
        return false;
    }
    std::u16string commandLine = std::u16string(u"\"") + kPackageFile + u"\"";
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(installer, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    const bool installed = GetExitCodeProcess(process.hProcess, &exitCode) && exitCode == 0;
    CloseHandle(process.hProcess);
    return installed;
}

void COnlineUpdateMgr::ReportJobFailure(unsigned jobResult) {
    if (jobResult == kAborted) {
        PlayClosingTransition();
        return;
    }
    ShowMessage(jobResult == kNoConnection ? "IDS_ERROR_CONNECT_OU" : "IDS_UNKNOWN_ERROR");
}

void COnlineUpdateMgr::ShowMessage(const char* key, bool withSupportLink) { ShowText(Text(key), withSupportLink); }

void COnlineUpdateMgr::ShowText(const std::u16string& text, bool withSupportLink) {
    RunScreen({}, [&] { return m_screens->ShowMessage(text.c_str(), withSupportLink); });
}

void COnlineUpdateMgr::Cleanup(bool keepPackage) {
    if (!keepPackage) {
        DeleteFileW(kPackageFile);
        // Fails harmlessly while other files are in the folder.
        RemoveDirectoryW(kTempFolder);
    }
}
