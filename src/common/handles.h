// Owners for the Windows handles the program opens, so that every handle is closed by
// the function that opened it, on every path out of it.
//
//   unique_any<T, Close>  one owner template; both NULL and INVALID_HANDLE_VALUE are empty
//   unique_handle, unique_hkey, unique_sc_handle, unique_hmodule, unique_hfind,
//   unique_hdc, unique_hgdiobj, unique_hglobal, unique_hicon
//   ScopedSelectObject    puts an object back into a DC when the scope ends
//   ScopedGetDC           GetDC with the matching ReleaseDC
#pragma once

#include <windows.h>

#include <type_traits>
#include <utility>

namespace vexa {

template <class T, class CloseFn, CloseFn Close>
class unique_any {
public:
    unique_any() = default;
    explicit unique_any(T value) : value_(value) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~unique_any() { reset(); }

    T get() const { return value_; }
    bool valid() const { return IsValid(value_); }
    explicit operator bool() const { return valid(); }

    // Closing keeps the caller's last error, which usually describes why we are closing.
    void reset(T value = T()) {
        if (IsValid(value_)) {
            const DWORD error = ::GetLastError();
            Close(value_);
            ::SetLastError(error);
        }
        value_ = value;
    }
    [[nodiscard]] T release() {
        T value = value_;
        value_ = T();
        return value;
    }
    // Out-parameter for the functions that open a handle through a pointer.
    T* put() {
        reset();
        return &value_;
    }

private:
    static bool IsValid(T value) {
        if constexpr (std::is_pointer_v<T> || std::is_same_v<T, HANDLE>) {
            return value != T() && reinterpret_cast<HANDLE>(value) != INVALID_HANDLE_VALUE;
        } else {
            return value != T();
        }
    }
    T value_ = T();
};

namespace handle_close {
inline void Handle(HANDLE h) { ::CloseHandle(h); }
inline void Key(HKEY h) { ::RegCloseKey(h); }
inline void Service(SC_HANDLE h) { ::CloseServiceHandle(h); }
inline void Module(HMODULE h) { ::FreeLibrary(h); }
inline void Find(HANDLE h) { ::FindClose(h); }
inline void Dc(HDC h) { ::DeleteDC(h); }
inline void GdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void Global(HGLOBAL h) { ::GlobalFree(h); }
inline void Icon(HICON h) { ::DestroyIcon(h); }
}  // namespace handle_close

using unique_handle = unique_any<HANDLE, decltype(&handle_close::Handle), handle_close::Handle>;
using unique_hkey = unique_any<HKEY, decltype(&handle_close::Key), handle_close::Key>;
using unique_sc_handle = unique_any<SC_HANDLE, decltype(&handle_close::Service), handle_close::Service>;
using unique_hmodule = unique_any<HMODULE, decltype(&handle_close::Module), handle_close::Module>;
using unique_hfind = unique_any<HANDLE, decltype(&handle_close::Find), handle_close::Find>;
using unique_hdc = unique_any<HDC, decltype(&handle_close::Dc), handle_close::Dc>;
using unique_hgdiobj = unique_any<HGDIOBJ, decltype(&handle_close::GdiObject), handle_close::GdiObject>;
using unique_hglobal = unique_any<HGLOBAL, decltype(&handle_close::Global), handle_close::Global>;
using unique_hicon = unique_any<HICON, decltype(&handle_close::Icon), handle_close::Icon>;

class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
    ~ScopedSelectObject() {
        if (old_ && old_ != HGDI_ERROR)
            ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    ~ScopedGetDC() {
        if (dc_)
            ::ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

}  // namespace vexa
