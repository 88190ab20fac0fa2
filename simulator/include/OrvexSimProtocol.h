/* The simulated ORVEX driver's control protocol: what the control device understands and
 * the layouts it answers with. Shared by the driver (C, kernel mode) and the control library
 * (C++, user mode); include it after <windows.h> and <winioctl.h>, or after the ddk headers.
 *
 * Units are numbered 1 to 4: unit N is the device object reachable as \\.\Kzdv041000N. */
#ifndef ORVEXSIM_PROTOCOL_H
#define ORVEXSIM_PROTOCOL_H

#define ORVEXSIM_CONTROL_DEVICE_NAME L"\\Device\\OrvexSimControl"
#define ORVEXSIM_CONTROL_LINK_NAME L"\\DosDevices\\OrvexSimControl"
#define ORVEXSIM_CONTROL_PATH L"\\\\.\\OrvexSimControl"

/* Raised whenever a layout or a request below changes meaning. */
#define ORVEXSIM_PROTOCOL_VERSION 4

#define ORVEXSIM_UNIT_COUNT 4
#define ORVEXSIM_RECORD_SIZE 328       /* the settings record, settings part and status word */
#define ORVEXSIM_STATUS_OFFSET 324     /* the status word inside the record */
#define ORVEXSIM_MAX_SET_STATUSES 64   /* longest sequence of statuses the SET answers */
/* In a SET status sequence: that SET fails (STATUS_IO_DEVICE_ERROR) and stores nothing. */
#define ORVEXSIM_SET_FAILS 0xFFFFFFFFu
#define ORVEXSIM_MAX_DELAY_MS 60000    /* longest completion delay */
/* As a delay: each request stays pending until it is cancelled. */
#define ORVEXSIM_DELAY_FOREVER 0xFFFFFFFFu
/* As a sitting time: the unit's dispatch routine returns only when it is unblocked (at most
 * ORVEXSIM_MAX_DELAY_MS, so that a forgotten unblock costs a minute, not a test run). */
#define ORVEXSIM_SIT_UNTIL_UNBLOCKED 0xFFFFFFFFu
/* The notification event that lets every sitting dispatch routine return at once. Set from
 * user mode (it needs no request, so it works while the driver's one dispatch thread sits);
 * cleared by IOCTL_ORVEXSIM_SET_SIT and IOCTL_ORVEXSIM_RESET. */
#define ORVEXSIM_UNBLOCK_EVENT_KERNEL_NAME L"\\BaseNamedObjects\\OrvexSimUnblock"
#define ORVEXSIM_UNBLOCK_EVENT_NAME L"Global\\OrvexSimUnblock"
/* STATUS_CANCELLED, for user mode, where <ntstatus.h> does not mix with <windows.h> */
#define ORVEXSIM_RESULT_CANCELLED ((LONG)0xC0000120L)
#define ORVEXSIM_LOG_CAPACITY 1024     /* requests kept per unit; older ones are dropped */

/* Bits of ORVEXSIM_UNIT_STATE.failMask: the control codes a unit fails. */
#define ORVEXSIM_FAIL_GET 0x1
#define ORVEXSIM_FAIL_SET 0x2
#define ORVEXSIM_FAIL_ALL (ORVEXSIM_FAIL_GET | ORVEXSIM_FAIL_SET)

#define ORVEXSIM_CONTROL_CODE(function) \
    CTL_CODE(FILE_DEVICE_UNKNOWN, (function), METHOD_BUFFERED, FILE_ANY_ACCESS)

/* out ORVEXSIM_VERSION_INFO */
#define IOCTL_ORVEXSIM_GET_VERSION ORVEXSIM_CONTROL_CODE(0xA00)
/* no input: every unit absent, default record, no statuses, no failures, no delay, no
 * sitting (and the unblock event cleared), full answers, cancellable; requests still pending completed as cancelled (and not counted);
 * logs and counters cleared */
#define IOCTL_ORVEXSIM_RESET ORVEXSIM_CONTROL_CODE(0xA01)
/* in ORVEXSIM_UNIT_VALUE: value 1 plugs the unit (its \DosDevices link appears), 0 unplugs */
#define IOCTL_ORVEXSIM_SET_PRESENT ORVEXSIM_CONTROL_CODE(0xA02)
/* in ORVEXSIM_UNIT_RECORD: the record GET answers, status word included */
#define IOCTL_ORVEXSIM_SET_RECORD ORVEXSIM_CONTROL_CODE(0xA03)
/* in ORVEXSIM_UNIT_VALUE: the status word GET answers */
#define IOCTL_ORVEXSIM_SET_GET_STATUS ORVEXSIM_CONTROL_CODE(0xA04)
/* in ORVEXSIM_UNIT_STATUSES: the status of the 1st, 2nd ... SET; later SETs answer 0 */
#define IOCTL_ORVEXSIM_SET_SET_STATUSES ORVEXSIM_CONTROL_CODE(0xA05)
/* in ORVEXSIM_UNIT_VALUE: ORVEXSIM_FAIL_* bits */
#define IOCTL_ORVEXSIM_SET_FAILING ORVEXSIM_CONTROL_CODE(0xA06)
/* in ORVEXSIM_UNIT_VALUE: milliseconds each request stays pending; 0 completes at once,
 * ORVEXSIM_DELAY_FOREVER only when cancelled */
#define IOCTL_ORVEXSIM_SET_DELAY ORVEXSIM_CONTROL_CODE(0xA07)
/* in ORVEXSIM_UNIT_VALUE: bytes a GET or SET answers, 0 to 328 */
#define IOCTL_ORVEXSIM_SET_ANSWER_BYTES ORVEXSIM_CONTROL_CODE(0xA08)
/* in ORVEXSIM_UNIT_VALUE (value unused), out ORVEXSIM_UNIT_STATE */
#define IOCTL_ORVEXSIM_GET_UNIT ORVEXSIM_CONTROL_CODE(0xA09)
/* in ORVEXSIM_REQUEST_QUERY, out ORVEXSIM_REQUEST */
#define IOCTL_ORVEXSIM_GET_REQUEST ORVEXSIM_CONTROL_CODE(0xA0A)
/* in ORVEXSIM_UNIT_VALUE: 1 makes the unit refuse cancellation, so that a pending request
 * ends only when it is due; 0 lets it be cancelled */
#define IOCTL_ORVEXSIM_SET_REFUSE_CANCEL ORVEXSIM_CONTROL_CODE(0xA0B)

/* in ORVEXSIM_UNIT_SIT: how long the unit's dispatch routine sits on one of the two control
 * codes before it answers (0 not at all, at most ORVEXSIM_MAX_DELAY_MS, or
 * ORVEXSIM_SIT_UNTIL_UNBLOCKED), the way a driver waits for its device inside the dispatch
 * routine: the caller's DeviceIoControl does not return meanwhile, overlapped or not, and
 * cannot be cancelled. Clears the unblock event. */
#define IOCTL_ORVEXSIM_SET_SIT ORVEXSIM_CONTROL_CODE(0xA0C)

typedef struct ORVEXSIM_VERSION_INFO {
    ULONG protocolVersion;
    ULONG unitCount;
    ULONG recordSize;
    ULONG logCapacity;
} ORVEXSIM_VERSION_INFO;

typedef struct ORVEXSIM_UNIT_VALUE {
    ULONG unit;
    ULONG value;
} ORVEXSIM_UNIT_VALUE;

typedef struct ORVEXSIM_UNIT_RECORD {
    ULONG unit;
    UCHAR record[ORVEXSIM_RECORD_SIZE];
} ORVEXSIM_UNIT_RECORD;

typedef struct ORVEXSIM_UNIT_STATUSES {
    ULONG unit;
    ULONG count;
    ULONG statuses[ORVEXSIM_MAX_SET_STATUSES];
} ORVEXSIM_UNIT_STATUSES;

typedef struct ORVEXSIM_UNIT_SIT {
    ULONG unit;
    ULONG code;         /* the ORVEX control code it sits on */
    ULONG ms;
} ORVEXSIM_UNIT_SIT;

typedef struct ORVEXSIM_UNIT_STATE {
    ULONG unit;
    ULONG present;
    ULONG opens;        /* IRP_MJ_CREATE since the last reset */
    ULONG closes;       /* IRP_MJ_CLOSE of those opens; Wine delivers it after CloseHandle
                           returns, sometimes much later */
    ULONG openNow;      /* opens since the last reset not closed yet */
    ULONG requests;     /* device control requests since the last reset, logged or not */
    ULONG failMask;
    ULONG delayMs;      /* ORVEXSIM_DELAY_FOREVER: until cancelled */
    ULONG answerBytes;
    ULONG refusesCancel;
    ULONG cancelled;    /* pending requests cancelled since the last reset */
    ULONG cancelsRefused; /* pending requests asked to cancel that went on to their due time */
    ULONG setsAnswered; /* SETs answered since the statuses were set */
    ULONG setStatusCount;
    ULONG setStatuses[ORVEXSIM_MAX_SET_STATUSES];
    UCHAR record[ORVEXSIM_RECORD_SIZE];
    ULONG sitGetMs;     /* how long the dispatch routine sits on a GET, and on a SET */
    ULONG sitSetMs;
} ORVEXSIM_UNIT_STATE;

typedef struct ORVEXSIM_REQUEST_QUERY {
    ULONG unit;
    ULONG sequence;     /* 0 for the first request since the last reset */
} ORVEXSIM_REQUEST_QUERY;

/* One device control request as the unit received it. */
typedef struct ORVEXSIM_REQUEST {
    ULONG unit;
    ULONG sequence;
    ULONG code;
    ULONG inputLength;
    ULONG outputLength;
    LONG result;        /* the NTSTATUS the request completed (or will complete) with;
                           ORVEXSIM_RESULT_CANCELLED once it is cancelled */
    ULONG answerBytes;  /* bytes answered on success */
    ULONG pended;       /* 1 when the request was completed late */
    ULONG receivedMs;   /* when the unit received it, in ms of a clock that only the
                           differences between requests mean anything of */
    UCHAR input[ORVEXSIM_RECORD_SIZE]; /* the first inputLength bytes (at most 328) */
} ORVEXSIM_REQUEST;

#endif
