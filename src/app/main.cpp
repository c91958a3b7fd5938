// Entry point of Uninstall.exe: one running copy, the language table, the administrator
// rights (relaunching through the consent prompt when they are missing), the process-wide
// services in their order, the main window until it closes, and the shutdown in reverse.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/app_services.h"
#include "app/elevation.h"
#include "app/language_table.h"
#include "app/main_dlg.h"
#include "app/single_instance.h"
#include "app/uninstall_wiring.h"
#include "framework/atlapp.h"
#include "skin/lum_skin.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*command_line*/, int show) {
    using namespace vexa;

    CSingleInstance single_instance;
    if (single_instance.Claim() != InstanceClaim::kFirst)
        return 0;
    CoInitialize(nullptr);
    CLanguageTable& table = GetLanguageTable();
    table.LoadLanguageTable();

    if (NeedsElevation()) {
        const ElevationTexts texts = CopyElevationTexts(table);
        // The copy started through the consent prompt must not take this one for a
        // second instance.
        single_instance.Release();
        RelaunchElevated(true, texts, RelaunchShellExecute());
        return 0;
    }

    SetUninstallHooks(ProductUninstallHooks());
    StartTrayCallbackServer();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CAppModule module;
    module.Init(instance);
    CGdiplusSession gdiplus;
    gdiplus.Start();
    FillProductEnvironment();
    CLumSkin::Get().SetFace(table.GetString(L"font").c_str());

    CMessageLoop loop;
    module.AddMessageLoop(&loop);
    const int result = RunMainWindow(loop, show);
    module.RemoveMessageLoop();

    StopTrayCallbackServer();
    CloseTrayConnection();
    if (result == 0 && UninstallFinished == 1)
        OpenSurveyPage();
    module.Term();
    CoUninitialize();
    single_instance.Release();
    gdiplus.Stop();
    return result;
}
