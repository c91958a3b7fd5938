// Message loop and application module, after WTL's atlapp.h.
//
//   CMessageFilter  lets a window see a message before it is translated and dispatched
//   CIdleHandler    called when the queue runs empty
//   CMessageLoop    GetMessage, pre-translation by the registered filters (last added
//                   first), TranslateMessage, DispatchMessage
//   CAppModule      the process's module: the instance and the message loop of each thread
#pragma once

#include <windows.h>

#include <map>
#include <mutex>
#include <vector>

namespace vexa {

class CMessageFilter {
public:
    virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;
};

class CIdleHandler {
public:
    virtual BOOL OnIdle() = 0;
};

class CMessageLoop {
public:
    std::vector<CMessageFilter*> m_aMsgFilter;
    std::vector<CIdleHandler*> m_aIdleHandler;
    MSG m_msg{};

    BOOL AddMessageFilter(CMessageFilter* filter) {
        m_aMsgFilter.push_back(filter);
        return TRUE;
    }
    BOOL RemoveMessageFilter(CMessageFilter* filter) { return Remove(m_aMsgFilter, filter); }
    BOOL AddIdleHandler(CIdleHandler* handler) {
        m_aIdleHandler.push_back(handler);
        return TRUE;
    }
    BOOL RemoveIdleHandler(CIdleHandler* handler) { return Remove(m_aIdleHandler, handler); }

    int Run() {
        for (;;) {
            while (!::PeekMessageW(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
                if (!OnIdle())
                    break;
            }
            const BOOL ret = ::GetMessageW(&m_msg, nullptr, 0, 0);
            if (ret == -1)
                continue;
            if (!ret)
                break;
            if (!PreTranslateMessage(&m_msg)) {
                ::TranslateMessage(&m_msg);
                ::DispatchMessageW(&m_msg);
            }
        }
        return static_cast<int>(m_msg.wParam);
    }

    virtual BOOL PreTranslateMessage(MSG* msg) {
        // Filters added last see the message first.
        for (auto it = m_aMsgFilter.rbegin(); it != m_aMsgFilter.rend(); ++it) {
            if (*it && (*it)->PreTranslateMessage(msg))
                return TRUE;
        }
        return FALSE;
    }

    virtual BOOL OnIdle() {
        for (CIdleHandler* handler : m_aIdleHandler) {
            if (handler)
                handler->OnIdle();
        }
        return FALSE;
    }

    virtual ~CMessageLoop() = default;

private:
    template <class V, class P>
    static BOOL Remove(V& list, P item) {
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (*it == item) {
                list.erase(it);
                return TRUE;
            }
        }
        return FALSE;
    }
};

class CAppModule {
public:
    HRESULT Init(HINSTANCE instance) {
        m_hInst = instance;
        return S_OK;
    }
    void Term() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_loops.clear();
    }
    HINSTANCE GetModuleInstance() const { return m_hInst; }
    HINSTANCE GetResourceInstance() const { return m_hInst; }

    BOOL AddMessageLoop(CMessageLoop* loop) {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_loops.emplace(::GetCurrentThreadId(), loop).second;
    }
    BOOL RemoveMessageLoop() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_loops.erase(::GetCurrentThreadId()) != 0;
    }
    CMessageLoop* GetMessageLoop(DWORD thread_id = ::GetCurrentThreadId()) {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_loops.find(thread_id);
        return it == m_loops.end() ? nullptr : it->second;
    }

private:
    HINSTANCE m_hInst = nullptr;
    std::mutex m_lock;
    std::map<DWORD, CMessageLoop*> m_loops;
};

}  // namespace vexa
