// Hands the paths that resisted deletion to a batch that Windows runs once at the next
// logon: the batch has the suite's tray program (copied into the temporary folder) work
// through a deletion list, then deletes the tray copy, the list and itself.
#pragma once

#include <string>
#include <vector>

namespace vexa {

// File names in the user's temporary folder, and the RunOnce value.
constexpr wchar_t kDeletionListName[] = L"removeVexa.ini";
constexpr wchar_t kDeletionBatchName[] = L"removeVexa.bat";
constexpr wchar_t kTrayCopyName[] = L"Zavodezo.exe";
constexpr wchar_t kRunOnceKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr wchar_t kRunOnceValueName[] = L"Corveluninst";

// Writes the deletion list for |queue| followed by the lines for |suite_folder| (no
// trailing backslash), the batch, and the RunOnce value; empties the queue and clears
// |queued|. Writes nothing when |queued| is clear. True when the batch was registered.
bool WriteDeferredDeletion(std::vector<std::wstring>& queue, bool& queued, const std::wstring& suite_folder);

}  // namespace vexa
