#pragma once

// <xcb/xkb.h> names a struct member `explicit`, which C++ cannot parse. Include
// it only through this header.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
