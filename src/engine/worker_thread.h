// CLumWorkerThread<T>: a thread that owns a hidden message-only window of class T and
// runs its message loop. Work reaches it as posted window messages.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <atomic>

#include "framework/atlwin.h"

namespace vexa {

template <class T>
class CLumWorkerThread : public CWindowImpl<T, CWindow, CWinTraits<0x56000000, 0>> {
public:
    CLumWorkerThread() = default;
    CLumWorkerThread(const CLumWorkerThread&) = delete;
    CLumWorkerThread& operator=(const CLumWorkerThread&) = delete;
    ~CLumWorkerThread() override { StopThread(INFINITE); }

    virtual bool OnThreadStart() { return true; }
    virtual void OnThreadEnd() {}

    bool StartThread() {
        m_hThread = CreateThread(nullptr, 0, ThreadProc, this, 0, &m_dwThreadId);
        m_thread = m_hThread;
        return m_hThread != nullptr;
    }

    void StopThread(DWORD timeout) {
        if (!m_hThread)
            return;
        if (WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT) {
            PostThreadMessageW(m_dwThreadId, WM_QUIT, 0, 0);
            WaitForSingleObject(m_hThread, timeout);
        }
        m_thread = nullptr;
        CloseHandle(m_hThread);
        m_hThread = nullptr;
        m_dwThreadId = 0;
    }

    // The worker's window once it exists; null before and after.
    HWND WorkerWindow() const { return m_ready.load(); }

    // Waits until the worker's window exists, at most |timeout_ms|, and no longer once
    // the thread has ended without one. Posting sides use it before their first post,
    // which may come before the thread has even started.
    HWND WaitForWorkerWindow(DWORD timeout_ms) const {
        const ULONGLONG deadline = GetTickCount64() + timeout_ms;
        for (;;) {
            HWND window = m_ready.load();
            if (window && IsWindow(window))
                return window;
            HANDLE thread = m_thread.load();
            if (thread && WaitForSingleObject(thread, 0) != WAIT_TIMEOUT)
                return nullptr;
            if (GetTickCount64() >= deadline)
                return nullptr;
            Sleep(1);
        }
    }

    HANDLE m_hThread = nullptr;
    DWORD m_dwThreadId = 0;

private:
    static DWORD WINAPI ThreadProc(void* parameter) {
        auto* self = static_cast<T*>(parameter);
        CoInitialize(nullptr);
        if (!self->Create(HWND_MESSAGE, RECT{0, 0, 0, 0}, L"")) {
            CoUninitialize();
            return 0;
        }
        self->m_ready = self->m_hWnd;
        if (self->OnThreadStart()) {
            MSG msg;
            for (;;) {
                const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
                if (got == -1)
                    continue;
                if (!got)
                    break;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            self->OnThreadEnd();
        }
        self->m_ready = nullptr;
        if (self->m_hWnd)
            self->DestroyWindow();
        CoUninitialize();
        return 0;
    }

    std::atomic<HWND> m_ready{nullptr};
    // The thread handle as other threads may read it while this one starts the thread.
    std::atomic<HANDLE> m_thread{nullptr};
};

}  // namespace vexa
