#include "experiments/RecordingHost.h"

const Trace& RecordingHost::Series(int n) const
{
    return SeriesNumbered(traces_, n);
}

Trace& RecordingHost::Series(int n)
{
    return SeriesNumbered(traces_, n);
}
