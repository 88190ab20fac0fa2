/* Device and link names built from a prefix and a unit number. */
#ifndef ORVEXSIM_SIM_NAMES_H
#define ORVEXSIM_SIM_NAMES_H

#include "SimKernel.h"

#define SIM_NAME_CHARS 48

typedef struct SIM_NAME {
    WCHAR buffer[SIM_NAME_CHARS];
    UNICODE_STRING string;
} SIM_NAME;

/* prefix followed by one decimal digit (number 1 to 9); FALSE when it does not fit. */
BOOLEAN SimBuildName(SIM_NAME* name, const WCHAR* prefix, ULONG number);

#endif
