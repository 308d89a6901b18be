// The wake-up is all in its header; this file gives the toolkit's meta-object compiler a home for it.
#include "display/ui/queued_wake.h"
