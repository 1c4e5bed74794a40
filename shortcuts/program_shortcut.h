#pragma once
// The Start-menu shortcut to the installed main program.
void CreateProgramShortcut();
