#pragma once
// Everything the framework offers, for code that uses much of it.
#include "framework/app.h"
#include "framework/comptr.h"
#include "framework/controls.h"
#include "framework/cursor.h"
#include "framework/cstring.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "framework/imagelist.h"
#include "framework/tooltip.h"
#include "framework/types.h"
#include "framework/wnd.h"
#include "framework/tracker.h"
