#pragma once
// A window handle as Office's Hwnd properties carry it: a Long. 64-bit Windows
// keeps window handles within 32 bits so that 32-bit and 64-bit programs can
// share them: a handle is truncated to its lower 32 bits on the way to a Long
// and sign-extended on the way back.
#include <cstdint>
#include <windows.h>

namespace trelvo::win32 {

inline int32_t HandleAsLong(HWND window) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(window)); }

inline HWND HandleFromLong(int32_t value) { return reinterpret_cast<HWND>(static_cast<intptr_t>(value)); }

}  // namespace trelvo::win32
