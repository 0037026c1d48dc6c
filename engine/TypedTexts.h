#pragma once
// The typed-text record lives with the analysis so the reports can read it without the
// engine; this header keeps the engine's includes working.

#include "engine/analysis/TypedTexts.h"
