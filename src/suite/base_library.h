// The binding of the suite's base library "Vexabase.dll": its OS-version operation,
// its verify-file operation and its file-information object.
#pragma once

#include <string>

#include "suite/vexa_public_dll_helper.h"

namespace vexa {

class CVexaBaseExportFuncs : public CVexaPublicDLLHelper<CVexaBaseExportFuncs> {};

constexpr wchar_t kBaseLibraryName[] = L"Vexabase.dll";

// The suite folder joined with "Vexabase.dll"; the bare name when the folder is empty,
// which the platform then finds through its library search order.
std::wstring BaseLibraryPath(const std::wstring& suite_folder);

// The one binding of the process, made on first use and unloaded at exit.
CVexaBaseExportFuncs& BaseExportFuncs();

}  // namespace vexa
