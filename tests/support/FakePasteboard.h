#pragma once
// Kept for the end-to-end, stress and benchmark sources that include it.
#include "support/Fakes.h"
