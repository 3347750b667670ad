#pragma once

#include "framework/core/events.h"

namespace pogoda {

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = unsigned;

// Sender, button, shift state, X, Y.
using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;

}  // namespace pogoda
