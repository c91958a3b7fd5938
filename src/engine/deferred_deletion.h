// Hands the paths that resisted deletion to a batch that Windows runs once at the next
// logon.
#pragma once

#include <string>
#include <vector>

namespace vexa {

// Writes the deletion list and the batch for |queue| and registers the batch; empties
// the queue and clears |queued|. Writes nothing when nothing is queued.
bool WriteDeferredDeletion(std::vector<std::wstring>& queue, bool& queued, const std::wstring& suite_folder);

}  // namespace vexa
