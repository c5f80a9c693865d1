#include "Controls/CControlAnimator.h"

#include "ThreadJoin.h"

CControlAnimator::CControlAnimator() : m_stop(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

CControlAnimator::~CControlAnimator() {
    Stop();
    if (m_stop != nullptr) {
        CloseHandle(m_stop);
    }
}

bool CControlAnimator::Start(std::function<void()> step) {
    if (m_thread != nullptr || m_stop == nullptr || !step) {
        return false;
    }
    m_step = std::move(step);
    ResetEvent(m_stop);
    m_thread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    return m_thread != nullptr;
}

void CControlAnimator::Stop() { StopAndJoinThread(&m_thread, m_stop); }

DWORD WINAPI CControlAnimator::ThreadMain(LPVOID self) {
    static_cast<CControlAnimator*>(self)->Run();
    return 0;
}

void CControlAnimator::Run() {
    DWORD wait = kPeriod;
    while (WaitForSingleObject(m_stop, wait) == WAIT_TIMEOUT) {
        const DWORD started = GetTickCount();
        m_step();
        wait = NextWait(GetTickCount() - started);
    }
}
