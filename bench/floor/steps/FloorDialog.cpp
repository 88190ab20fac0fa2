// The floor's own one-button dialog.
#include "StartupStep.h"

const int kDialogTemplate = kFloorDialog;
