#include "Weather/ForecastSending.h"

#include "CDate.h"
#include "CLocalization.h"
#include "CRegistryStore.h"
#include "CSysInfo.h"
#include "Screens/CAppMessageBox.h"
#include "Screens/CSelectFromListDlg.h"
#include "Weather/CCity.h"
#include "Weather/CSettings.h"
#include "Weather/CUnitConversion.h"
#include "Weather/GlobalServices.h"
#include "ce/kernel.h"
#include "ce/mapi.h"

namespace {

constexpr LPCWSTR kMessagingProgram = u"%WINDOWS%\\tmail.exe";
constexpr LPCWSTR kLastUsedAccount = u"LastUsedAccount";
constexpr LPCWSTR kSmsService = u"SMS";
constexpr LPCWSTR kMmsStore = u"MMS";
constexpr int kDaysInText = 5;
constexpr int kAccountNameLength = 256;

std::u16string Number(int value) { return ce::FromUtf8(std::to_string(value)); }

// "15.10:8..14C"; one known temperature stands alone, none gives "-".
std::u16string DayLine(const CDayForecast& day, DWORD degreeType, bool fahrenheit) {
    WCHAR date[16];
    _snwprintf(date, 16, u"%02d.%02d:", static_cast<int>(day.GetDate().GetDay()),
               static_cast<int>(day.GetDate().GetMonth()));
    int low = day.GetLowTemperature(degreeType);
    int high = day.GetHighTemperature(degreeType);
    bool hasLow = low != CUnitConversion::kMissingTemperature;
    bool hasHigh = high != CUnitConversion::kMissingTemperature;
    std::u16string line = date;
    if (hasLow && hasHigh) {
        line += Number(low) + u".." + Number(high);
    } else if (hasLow || hasHigh) {
        line += Number(hasLow ? low : high);
    } else {
        line += u"-";
    }
    return line + (fahrenheit ? u"F" : u"C");
}

bool StartMessagingProgram(const std::u16string& service, const std::u16string& body) {
    WCHAR program[MAX_PATH];
    if (!CSysInfo::ExpandPath(kMessagingProgram, program, MAX_PATH)) {
        return false;
    }
    std::u16string commandLine = MessagingCommandLine(service, body);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The command-line rule: backslashes stand for themselves unless a double quote follows them (the
// text's own or the closing one); there they are doubled and the text's quote is escaped by one more.
void AppendQuoted(std::u16string& out, const std::u16string& text) {
    out += u'"';
    size_t backslashes = 0;
    for (char16_t c : text) {
        if (c == u'\\') {
            ++backslashes;
        } else if (c == u'"') {
            out.append(2 * backslashes + 1, u'\\');
            backslashes = 0;
        } else {
            out.append(backslashes, u'\\');
            backslashes = 0;
        }
        if (c != u'\\') {
            out += c;
        }
    }
    out.append(2 * backslashes, u'\\');
    out += u'"';
}

// The display names of every store that the table lists.
bool ReadStoreNames(IMAPISession* session, std::vector<std::u16string>* names) {
    IMAPITable* table = nullptr;
    if (FAILED(session->GetMsgStoresTable(0, &table)) || table == nullptr) {
        return false;
    }
    SPropTagArray columns{1, {PR_DISPLAY_NAME}};
    LPSRowSet rows = nullptr;
    bool ok = SUCCEEDED(table->SetColumns(&columns, 0));
    while (ok && SUCCEEDED(table->QueryRows(16, 0, &rows)) && rows != nullptr && rows->cRows > 0) {
        for (ULONG i = 0; i < rows->cRows; ++i) {
            const SRow& row = rows->aRow[i];
            if (row.cValues > 0 && row.lpProps[0].ulPropTag == PR_DISPLAY_NAME &&
                row.lpProps[0].Value.lpszW != nullptr && _wcsicmp(row.lpProps[0].Value.lpszW, kMmsStore) != 0) {
                names->push_back(row.lpProps[0].Value.lpszW);
            }
        }
        FreeProws(rows);
        rows = nullptr;
    }
    FreeProws(rows);
    table->Release();
    return ok;
}

// The user picks one of several accounts, the one used last offered first; false unless one was picked.
bool ChooseAccount(HWND owner, const std::vector<std::u16string>& accounts, int* chosen) {
    WCHAR lastUsed[kAccountNameLength] = {};
    if (g_pRegistry != nullptr) {
        g_pRegistry->GetString(kLastUsedAccount, lastUsed, kAccountNameLength);
    }
    *chosen = FindLastUsedAccount(accounts, lastUsed);
    LPCWSTR titleText = LoadLocalizedString("IDS_SELECT_EMAIL_ACCOUNT");
    const std::u16string title = titleText != nullptr ? titleText : u"";
    CSelectFromListDlg picker;
    return picker.RunOverWindow(owner, title.c_str(), &accounts, chosen, nullptr) == IDOK && *chosen >= 0 &&
           *chosen < static_cast<int>(accounts.size());
}

}  // namespace

bool ComposeForecastText(const CCity* city, std::u16string* text) {
    if (city == nullptr || text == nullptr) {
        return false;
    }
    const CSettings& settings = GetSettings();
    *text = city->GetName();
    CDate date;
    date.SetToday();
    for (int i = 0; i < kDaysInText; ++i, date.AddDays(1)) {
        CDayForecast day;
        if (!city->GetDayForecast(date, &day)) {
            break;
        }
        *text += u"\r\n" + DayLine(day, settings.degreeType, settings.IsFahrenheit());
    }
    return true;
}

std::u16string MessagingCommandLine(const std::u16string& service, const std::u16string& body) {
    std::u16string line = u"-service ";
    AppendQuoted(line, service);
    line += u" -body ";
    AppendQuoted(line, body);
    return line;
}

bool SendForecastBySms(const CCity* city) {
    std::u16string text;
    return ComposeForecastText(city, &text) && StartMessagingProgram(kSmsService, text);
}

bool ListMessagingAccounts(std::vector<std::u16string>* names) {
    if (names == nullptr) {
        return false;
    }
    names->clear();
    if (FAILED(MAPIInitialize(nullptr))) {
        return false;
    }
    IMAPISession* session = nullptr;
    bool ok = SUCCEEDED(MAPILogonEx(0, nullptr, nullptr, 0, &session)) && session != nullptr &&
              ReadStoreNames(session, names);
    if (session != nullptr) {
        session->Logoff(0, 0, 0);
        session->Release();
    }
    MAPIUninitialize();
    return ok;
}

int FindLastUsedAccount(const std::vector<std::u16string>& names, LPCWSTR lastUsed) {
    if (lastUsed == nullptr || lastUsed[0] == 0) {
        return -1;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (_wcsicmp(names[i].c_str(), lastUsed) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool SendForecastThroughAccount(const CCity* city, LPCWSTR account) {
    std::u16string text;
    if (account == nullptr || !ComposeForecastText(city, &text)) {
        return false;
    }
    if (g_pRegistry != nullptr) {
        g_pRegistry->SetString(kLastUsedAccount, account);
    }
    return StartMessagingProgram(account, text);
}

bool SendForecastByEmail(HWND owner, const CCity* city) {
    if (city == nullptr) {
        return false;
    }
    std::vector<std::u16string> accounts;
    if (!ListMessagingAccounts(&accounts) || accounts.empty()) {
        CAppMessageBox box;
        CAppMessageBox::DoModalDone(box, owner, LoadLocalizedString("IDS_NOT_AVAILABLE_EMAILS"), nullptr, nullptr);
        return false;
    }
    int chosen = 0;
    if (accounts.size() > 1 && !ChooseAccount(owner, accounts, &chosen)) {
        return false;
    }
    return SendForecastThroughAccount(city, accounts[static_cast<size_t>(chosen)].c_str());
}
