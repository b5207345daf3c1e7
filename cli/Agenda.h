#pragma once

// The agenda and the due check are the reading options' own, on the standard
// library alone (light/Reading.h); the command line hands them there.
#include "light/Reading.h"
