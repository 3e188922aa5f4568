// The paths from which the module finds its own files. Every directory
// returned here ends with a backslash.
#pragma once

#include <afxwin.h>

#include "runtime/KelvaneApi.h"

// The folder below "common\config\" that holds this module's own files.
#define KELVANE_CONFIG_FOLDER L"Kelvane"

// The directory of the given module's file; a null handle gives the host
// executable's directory.
KELVANE_API CString GetModuleDirectory(HMODULE hModule);
// This library's own directory, whatever module state is current: a host that
// calls in without switching state would otherwise be given its own folder.
KELVANE_API CString GetLibraryDirectory();
// <module directory>common\config\Kelvane\ for this library's own file.
KELVANE_API CString GetConfigDirectory();
// <configuration directory>Kelvane.log
KELVANE_API CString GetLogFilePath();
