// Handle types shared by the portable logic and the Win32 side. On Windows they are the
// real ones; elsewhere they are opaque pointers, so records that carry handles (the
// installer context) and the decisions made over them build and test on the host too.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cstdint>
struct HWND__;
struct HINSTANCE__;
struct HBITMAP__;
struct HICON__;
struct HFONT__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HBITMAP = HBITMAP__*;
using HCURSOR = HICON__*;
using HFONT = HFONT__*;
using HANDLE = void*;
#endif
