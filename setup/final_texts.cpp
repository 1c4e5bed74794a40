#include "setup/final_texts.h"

#include "runtime/file_names.h"

std::string SuccessRunQuestionText(const std::string& successRunText, const std::string& productName) {
  return successRunText + productName + "?";
}

std::string RestartQuestionText(const std::string& productName) {
  return productName + " had been successfully installed" + "\r\n\r\n" + "The system should be rebooted for the " +
         productName + " changes to take effect." + "\r\n\r\n" + "Reboot Windows?";
}

std::string RunQuestionText(const std::string& productName) { return "Do you wish to run " + productName + "?"; }

bool FitsSystemPath(const std::string& path) { return path.size() <= MaxSystemPath; }

IntegrationPaths ComposeIntegrationPaths(const std::string& destinationFolder, const std::string& windowsFolder) {
  IntegrationPaths p;
  p.UninstallProgram = PathJoin(destinationFolder, "UnInstal.Exe");
  p.DriverSource = PathJoin(destinationFolder, "CTRLMW.SYS");
  p.DriverTarget = PathJoin(PathJoin(windowsFolder, "System32\\Drivers"), "CTRLMW.SYS");
  p.SystemTaskManager = PathJoin(windowsFolder, "TaskMan.Exe");
  p.SavedTaskManager = PathJoin(windowsFolder, "TaskMang.Exe");
  p.ProductTaskManager = PathJoin(destinationFolder, "TaskMan.Exe");
  p.RegistrationFile = PathJoin(destinationFolder, "Marwindl.Reg");
  p.RegistrationCopy = PathJoin(destinationFolder, "Marwindl1.Reg");
  p.RegistrationTarget = PathJoin(windowsFolder, "Marwindl.Reg");
  p.ShellProgram = PathJoin(destinationFolder, "Marwindl.Exe");
  p.ShellProgramForIni = PathJoin(destinationFolder, "Marwindl.EXE");
  p.SystemIni = PathJoin(windowsFolder, "SYSTEM.INI");
  return p;
}
