#include "SimNames.h"

BOOLEAN SimBuildName(SIM_NAME* name, const WCHAR* prefix, ULONG number)
{
    SIZE_T length = 0;
    if (number < 1 || number > 9) return FALSE;
    while (prefix[length] != L'\0') {
        if (length + 2 >= SIM_NAME_CHARS) return FALSE;  /* digit and terminator must fit */
        name->buffer[length] = prefix[length];
        ++length;
    }
    name->buffer[length++] = (WCHAR)(L'0' + number);
    name->buffer[length] = L'\0';
    RtlInitUnicodeString(&name->string, name->buffer);
    return TRUE;
}
