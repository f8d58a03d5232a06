// The fakes are header-only; this file gives the support library a body.
#include "support/FakeMainThread.h"
#include "support/FakePasteboard.h"
#include "support/FakeServices.h"
