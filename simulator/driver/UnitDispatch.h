/* How one simulated unit answers: opens, closes and the two control codes. */
#ifndef ORVEXSIM_UNIT_DISPATCH_H
#define ORVEXSIM_UNIT_DISPATCH_H

#include "SimState.h"

NTSTATUS SimUnitCreate(SIM_UNIT* unit, PIRP irp);
NTSTATUS SimUnitClose(SIM_UNIT* unit, PIRP irp);
NTSTATUS SimUnitDeviceControl(SIM_UNIT* unit, PIRP irp);

#endif
