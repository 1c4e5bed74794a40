#pragma once
// What the setup changes in the system once the files are in place.
void ReadPlatformId();
void RegisterUninstall();
void CopyDriverFile();
void ReplaceTaskManagerFiles();
void ReplaceWindowsShell();
