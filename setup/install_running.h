#pragma once
#include <cstdint>

// 1 while the installation may go on. The stage dialogs set it; the decoder,
// the archive reader and writer and the join loop test it.
extern std::int32_t InstallRunning;
