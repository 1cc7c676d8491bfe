#pragma once

// windows.h for the Windows backend and views. Its MessageBox macro would rename the
// core's MessageBox interface in the files that see it (and only there); the API is called
// by its wide name, MessageBoxW, instead.
#include <windows.h>
#undef MessageBox
