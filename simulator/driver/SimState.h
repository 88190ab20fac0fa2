/* Everything the simulator remembers: per unit, how it answers and what it received. One
 * lock guards all of it, including the queue of requests waiting to be completed late. */
#ifndef ORVEXSIM_SIM_STATE_H
#define ORVEXSIM_SIM_STATE_H

#include "SimKernel.h"
#include "SimLock.h"

typedef struct SIM_UNIT {
    ULONG number;                 /* 1 to 4 */
    PDEVICE_OBJECT device;
    ULONG present;
    UCHAR record[ORVEXSIM_RECORD_SIZE];
    ULONG setStatuses[ORVEXSIM_MAX_SET_STATUSES];
    ULONG setStatusCount;
    ULONG setsAnswered;
    ULONG failMask;
    ULONG delayMs;                /* ORVEXSIM_DELAY_FOREVER: until cancelled */
    ULONG answerBytes;
    ULONG refusesCancel;
    ULONG sitGetMs;               /* how long dispatch sits on a GET, a SET */
    ULONG sitSetMs;
    ULONG opens;
    ULONG closes;
    ULONG openNow;
    ULONG requests;
    ULONG cancelled;
    ULONG cancelsRefused;
    ORVEXSIM_REQUEST* log;        /* ring of ORVEXSIM_LOG_CAPACITY entries */
} SIM_UNIT;

typedef struct SIM_STATE {
    SIM_LOCK lock;
    ULONG epoch;                  /* raised by every reset; marks the handles opened since */
    SIM_UNIT units[ORVEXSIM_UNIT_COUNT];
    PDEVICE_OBJECT control;
    LIST_ENTRY pending;           /* IRPs to complete late, in arrival order */
    HANDLE unblock;               /* ORVEXSIM_UNBLOCK_EVENT_KERNEL_NAME */
} SIM_STATE;

extern SIM_STATE g_sim;

/* Device extensions tell the control device from the units. */
typedef enum SIM_DEVICE_KIND { SimControlDevice = 1, SimUnitDevice = 2 } SIM_DEVICE_KIND;

typedef struct SIM_DEVICE_EXTENSION {
    SIM_DEVICE_KIND kind;
    SIM_UNIT* unit;               /* unit devices only */
} SIM_DEVICE_EXTENSION;

/* The unit numbered 1 to 4, or NULL for any other number. */
SIM_UNIT* SimUnitByNumber(ULONG number);

/* Under the lock: how a unit answers when nothing has been set. Keeps its counters. */
void SimApplyDefaults(SIM_UNIT* unit);
/* Under the lock: forgets the unit's requests and counts. */
void SimClearHistory(SIM_UNIT* unit);

/* Not under the lock: creates or removes the unit's \DosDevices link. */
NTSTATUS SimSetPresent(SIM_UNIT* unit, BOOLEAN present);

#endif
