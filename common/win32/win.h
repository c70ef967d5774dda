// The one way the Windows code of both programs includes <windows.h>: no min/max macros,
// and no MessageBox macro (it would rename every member called MessageBox).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#ifdef MessageBox
#undef MessageBox
#endif
