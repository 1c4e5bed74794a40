#include <windows.h>

#include "setup/system_integration.h"

void ReadPlatformId() {}
void RegisterUninstall() {}
void CopyDriverFile() {}
void ReplaceTaskManagerFiles() {}
void ReplaceWindowsShell() {}
