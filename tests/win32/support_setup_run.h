#pragma once
// A run of the setup sequence inside a test program: fresh state, the
// compiled-in configuration, and a scratch destination folder.
#include <windows.h>

#include <string>

namespace setup_test {

// An empty folder of the test's own under the temp folder, made anew.
std::string ScratchFolder(const std::string& name);
// Writes a small file; true on success.
bool WriteTextFile(const std::string& path, const std::string& text);
// The whole file, or "<missing>".
std::string ReadTextFile(const std::string& path);

// Resets the configuration and the run's flags as at process start, then
// runs the start-up; DestinationFolder is set to `destination`.
void StartFreshSetup(const std::string& destination);
// Destroys the background window of the run and drops the WM_QUIT that its
// destruction posts, so that the next run's dialogs are not ended by it.
void CloseBackground();

}  // namespace setup_test
