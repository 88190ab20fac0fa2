/* The kernel headers every part of the driver builds on, with the control protocol. */
#ifndef ORVEXSIM_SIM_KERNEL_H
#define ORVEXSIM_SIM_KERNEL_H

#include <ntifs.h>

#include "OrvexSimProtocol.h"

#define SIM_POOL_TAG 0x6D69534Fu /* "OSim" in a pool dump */

#endif
