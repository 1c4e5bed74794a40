#include "setup/install_running.h"

// Cleared until a stage dialog opens; nothing may decode or copy before that.
std::int32_t InstallRunning = 0;
