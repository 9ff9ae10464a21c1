#include "AppEngine.h"

TSimulationEngine Engine;
