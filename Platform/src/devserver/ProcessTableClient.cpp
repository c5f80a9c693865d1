#include "devserver/ProcessTableClient.h"

#include <unistd.h>

#include "ce/device.h"
#include "devserver/DeviceServerConnection.h"
#include "devserver/Protocol.h"

namespace ce::devserver {

bool ProcessTableClient::Enter(const std::u16string& imagePath, const std::string& hostProgram) {
    if (DeviceRoot().empty()) {
        return false;
    }
    std::string path = ToUtf8(imagePath);
    std::string name = path.empty() ? hostProgram : path;
    size_t separator = name.find_last_of(path.empty() ? '/' : '\\');
    if (separator != std::string::npos) {
        name.erase(0, separator + 1);
    }
    return DeviceServerConnection::Instance().EnterProcess(getppid(), path, name);
}

std::vector<ProcessRecord> ProcessTableClient::List() {
    std::vector<ProcessRecord> list;
    if (DeviceRoot().empty()) {
        return list;
    }
    auto reply = DeviceServerConnection::Instance().Call(Message(Request::ListProcesses));
    if (!reply || reply->Int(0) != ERROR_SUCCESS) {
        return list;
    }
    size_t count = static_cast<size_t>(reply->Int(1));
    const size_t kFieldsEach = 4;
    for (size_t i = 0; i < count && 2 + (i + 1) * kFieldsEach <= reply->Count(); ++i) {
        size_t at = 2 + i * kFieldsEach;
        list.push_back({static_cast<DWORD>(reply->Int(at)), static_cast<DWORD>(reply->Int(at + 1)),
                        FromUtf8(reply->Text(at + 2)), FromUtf8(reply->Text(at + 3))});
    }
    return list;
}

}  // namespace ce::devserver
