// Resource ids shared by the program's resource script and its code.
#pragma once

#define IDR_LANGUAGE_TABLE 502
#define IDR_UNINSTALL_SCRIPT 503
