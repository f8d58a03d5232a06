// The support headers are header-only; this file gives the library a body.
#include "support/Fakes.h"
#include "support/RowRules.h"
