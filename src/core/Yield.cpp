#include "Yield.h"

YieldHookFn YieldHook = nullptr;
