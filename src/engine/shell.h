// CShell: carries out the embedded uninstall script in its two phases.
//
//   phase 1: stop the suite's programs, withdraw from Security Center, remove the
//            script's services
//   phase 2: the registry rows, the file rows, the suite folder, and the deferred
//            deletion of whatever resisted
//
// One CShell serves one phase; nothing carries over between phases.
#pragma once

#include <string>
#include <vector>

#include "engine/ini_document.h"

namespace vexa {

// Resource type and id of the embedded uninstall script.
constexpr const wchar_t kScriptResourceType[] = L"FILE";
constexpr int kScriptResourceId = 503;

// The last path component that a suite folder must have before it is deleted whole.
bool IsAcceptedSuiteFolderName(const std::wstring& suite_folder);

class CShell {
public:
    CShell() = default;
    virtual ~CShell() = default;

    // Always false.
    bool RunPhase1(const wchar_t* type, int id, const std::wstring& suite_folder);
    // True when the suite folder passed the name check, was removed and was handed to
    // the deferred deletion; false without a temporary folder or when the check refused.
    bool RunPhase2(const wchar_t* type, int id, const std::wstring& suite_folder);

    bool ExecRegCommand(const std::vector<std::wstring>& fields);
    void ExecFileCommand(const std::vector<std::wstring>& fields);

    // True when the path is gone; false when it was queued for deferred deletion.
    bool DeletePath(const std::wstring& path);
    // False for an empty path or one of 260 characters or more; true otherwise, whatever
    // was queued. Never follows a directory link: a link is removed as a link, and what
    // it points to is never touched.
    bool DeleteTree(const std::wstring& folder);

    const std::vector<std::wstring>& DeletionQueue() const { return queue_; }
    bool Queued() const { return queued_; }

private:
    void LoadScript(const wchar_t* type, int id);
    void RunRegistrySection(const IniSection& section);
    void RunFileSection(const IniSection& section);
    bool RemoveLink(const std::wstring& path, bool is_folder);
    void Enqueue(const std::wstring& path);

    IniSection service_;
    IniSection reg_;
    IniSection reg2_;
    IniSection file_;
    IniSection driverfile_;
    std::vector<std::wstring> queue_;
    bool queued_ = false;
};

}  // namespace vexa
