// What crosses between the program and the suite's base library: the operation table
// that "InitLibs" fills, the entries the program calls, the "CreateObject" factory and
// the file-information object. The stand-in base library is built from the same
// declarations.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstdint>

namespace vexa {

constexpr uint32_t kOperationTableSize = 256;
constexpr unsigned kVerifyFileOperation = 10;
constexpr unsigned kOsVersionOperation = 11;

// A 32-bit count, set to 256 before the library fills the table, then the entries.
struct VexaOperationTable {
    uint32_t count;
    void* entries[kOperationTableSize];
};

// "InitLibs": 0 on success.
using InitLibsFunction = int(WINAPI*)(VexaOperationTable* table);
// "CreateObject": the object of a class id, or a failure status.
using CreateObjectFunction = HRESULT(WINAPI*)(const GUID& class_id, void** object);
// Operation 10: non-zero accepts the file; the kind pointer may be null.
using VerifyFileFunction = int(WINAPI*)(const wchar_t* path, int* kind);
// Operation 11: non-zero on success; the second argument is 0.
using OsVersionFunction = int(WINAPI*)(OSVERSIONINFOEXW* version, int reserved);

// {6066F80A-4B6D-4D49-B5DC-DB9D1DD07253}
constexpr GUID kFileInformationClassId = {0x6066F80A, 0x4B6D, 0x4D49, {0xB5, 0xDC, 0xDB, 0x9D, 0x1D, 0xD0, 0x72, 0x53}};

// The file-information object. Only slots 3 (open) and 21 (attribute) are called; the
// slots between belong to the library and are declared only to keep the layout.
struct IVexaFileInformation : public IUnknown {
    virtual int STDMETHODCALLTYPE Open(const wchar_t* path, int flags) = 0;  // slot 3
    virtual HRESULT STDMETHODCALLTYPE Slot4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot16() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot18() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot20() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttribute(int attribute, DWORD* value) = 0;  // slot 21
};

}  // namespace vexa
