#include "app/app_services.h"

namespace vexa {

// Not part of this build yet: the tray connection, the report parameters and the
// report, and the survey page. The flow calls each in its place.
void StartTrayCallbackServer() {}
void StopTrayCallbackServer() {}
void CloseTrayConnection() {}
void FillProductEnvironment() {}
void BuildSystemSummary() {}
void SendUninstallReport() {}
void OpenSurveyPage() {}

}  // namespace vexa
