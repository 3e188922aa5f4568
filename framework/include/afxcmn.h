// Common controls; the framework keeps them with the other windows.
#pragma once

#include "afxwin.h"
