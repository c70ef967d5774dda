// Resource identifiers of vortasetup.
#pragma once

#define IDI_VORTASETUP 1
#define IDB_BANNER 101
