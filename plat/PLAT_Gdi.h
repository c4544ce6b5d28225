#pragma once
// The drawing layer: the drawing objects (PLAT_GdiObject.h) and the device
// context that draws with them (PLAT_Dc.h), with the classic GDI model over Qt.
#include "plat/PLAT_Dc.h"
#include "plat/PLAT_GdiObject.h"
