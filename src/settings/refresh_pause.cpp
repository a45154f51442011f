// The worker's pause rule.
#include "refresh_pause.h"

uint32_t RefreshPause(int32_t intervalMs)
{
    if (intervalMs <= 0)
        return DEFAULT_REFRESH_PAUSE_MS;
    return static_cast<uint32_t>(intervalMs);
}
