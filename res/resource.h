// Resource IDs of Kelvane.dll, shared by the resource script and the code
// that loads the resources.
#pragma once

// The container dialog's template. Hosts and their skins know this number,
// so it never changes.
#define IDD_CONTAINER 28012
