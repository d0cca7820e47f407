// A recorder unit reaching up to the tick: the build must refuse it.
#include "shell/tick.h"
