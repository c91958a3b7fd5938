// The process-wide services that the start-up brings up around the main window, and the
// steps of the flow that hand over to them. Each is called at its fixed place; those whose
// work is not part of this build yet do nothing.
#pragma once

namespace vexa {

// The tray's callback server: started before the window, stopped after it.
void StartTrayCallbackServer();
void StopTrayCallbackServer();
// Closes the tray connection when the run made one.
void CloseTrayConnection();
// The report parameters (machine id, version, language, system, channel).
void FillProductEnvironment();
// The summary of the machine that the report and the survey page carry.
void BuildSystemSummary();
// The uninstall report at the end of the countdown (at most five seconds).
void SendUninstallReport();
// The survey page in the user's browser after a completed uninstallation.
void OpenSurveyPage();

}  // namespace vexa
