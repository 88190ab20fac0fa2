/* The control device: how tests and the orvexsim tool change and read the units. */
#ifndef ORVEXSIM_CONTROL_DISPATCH_H
#define ORVEXSIM_CONTROL_DISPATCH_H

#include "SimState.h"

NTSTATUS SimControlDeviceControl(PIRP irp);

/* Every unit absent, at its defaults, with no history. */
void SimResetAll(void);

#endif
