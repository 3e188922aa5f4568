// What Kelvane.dll exports: the module's public classes and functions carry
// KELVANE_API, nothing else of the module leaves the DLL (the Xerces-C++ API
// that the XML layer hands out is exported by a generated list, see
// cmake/KvXercesExports.cmake). Building the DLL defines KELVANE_BUILDING;
// every other module imports.
#pragma once

#ifdef KELVANE_BUILDING
#define KELVANE_API __declspec(dllexport)
#else
#define KELVANE_API __declspec(dllimport)
#endif
