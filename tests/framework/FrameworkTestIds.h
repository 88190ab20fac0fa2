#pragma once
// Templates and controls of the framework tests' own dialogs.
#define IDD_PROBE_CENTRED 300
#define IDD_PROBE_POSITIONED 301
#define IDD_PROBE_CLASSIC 302
#define IDC_PROBE_TWO_STATE 100
#define IDC_PROBE_THREE_STATE 101
#define IDC_PROBE_BOUND 102
