#pragma once
// The maker of the ORVEX, named once for the version block, the main dialog's copyright line,
// the copyright string and the single-instance mutex. Plain narrow literals so that both the
// resource compiler and C++ (through QS_WIDEN) can use them.

#define QS_MAKER_NAME "Quillmere"
#define QS_COMPANY_NAME "Quillmere Audio"
// The copyright notice without its closing full stop; string IDS_PROP_COPYR adds it.
#define QS_COPYRIGHT_NOTICE "Copyright (C) 2026 Quillmere Audio"
// Reverse-domain prefix of the single-instance mutex name.
#define QS_MAKER_DOMAIN "com.quillmere"

#define QS_WIDEN2(s) L##s
#define QS_WIDEN(s) QS_WIDEN2(s)
