#pragma once
// Included before every source file of the project (see the top-level CMakeLists).
//
// The C library's <math.h> declares a Bessel function named jnl, which would
// collide with the namespace of the undo journal in any file that also uses
// <cmath>. Nothing here calls that function, so its declaration is made once,
// first, under another name; math.h's include guard keeps it from coming back.
#define jnl stride_libm_bessel_jnl
#include <math.h>
#undef jnl
