#include "shortcuts/program_shortcut.h"

void CreateProgramShortcut() {}
