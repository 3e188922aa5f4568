// What KvAfx.dll exports: the framework's classes and Afx functions carry
// AFX_API, nothing else leaves the DLL. Building the DLL defines
// KVAFX_BUILDING; every other module imports.
#pragma once

#ifdef KVAFX_BUILDING
#define AFX_API __declspec(dllexport)
#else
#define AFX_API __declspec(dllimport)
#endif
