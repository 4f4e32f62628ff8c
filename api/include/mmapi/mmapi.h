// The whole host tools ABI.
#pragma once

#include "mmapi/exports.h"
