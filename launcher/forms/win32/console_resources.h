// Resource identifiers of the console window (shared by console.rc, the code and
// make_console_icon.py).
#pragma once

#define IDI_FRMMAIN 201
#define IDI_FRMMAIN_IMAGE 301
