#include "meter/tests/MeterFixture.h"
