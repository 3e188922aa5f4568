// The module's application object and the paths from which the module finds
// its own files. Every directory returned here ends with a backslash.
#pragma once

#include <afxwin.h>

class CKelvaneApp : public CWinApp {
public:
    CKelvaneApp();
    ~CKelvaneApp() override;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

// The folder below "common\config\" that holds this module's own files.
#define KELVANE_CONFIG_FOLDER L"Kelvane"

// The directory of the given module's file; a null handle gives the host
// executable's directory.
CString GetModuleDirectory(HMODULE hModule);
// This library's own directory, whatever module state is current: a host that
// calls in without switching state would otherwise be given its own folder.
CString GetLibraryDirectory();
// <module directory>common\config\Kelvane\ for this library's own file.
CString GetConfigDirectory();
// <configuration directory>Kelvane.log
CString GetLogFilePath();
