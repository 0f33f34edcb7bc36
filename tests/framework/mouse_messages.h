#pragma once
// Mouse messages for controls under test, handed on as their window would.
#include "framework/control.h"

inline unsigned Down(TMouseButton button)
{
    return button == mbLeft ? WM_LBUTTONDOWN_ : WM_RBUTTONDOWN_;
}

inline unsigned Up(TMouseButton button)
{
    return button == mbLeft ? WM_LBUTTONUP_ : WM_RBUTTONUP_;
}

inline void Send(TControl& control, unsigned msg, int x, int y)
{
    TMessage message{msg, 0, MakeMouseLParam(x, y), 0};
    control.Perform(message);
}
