// The program's registry and README look-ups: the driver key's three values and the test
// for the README document (which loads its one string, the document's relative path).
#include "ProgramWork.h"

#include "ui/DriverKey.h"
#include "ui/Readme.h"

#include <string>

void ReadDriverKey() {
    std::wstring value;
    ReadDriverKeyValue(L"version", value);
    ReadDriverKeyValue(L"copyright", value);
    IsReadmeAvailable();
}
