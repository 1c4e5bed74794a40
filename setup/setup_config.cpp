#include "setup/setup_config.h"

SetupConfigRecord CompiledSetupConfig() {
  SetupConfigRecord c;
  c.GradientTopColor = 0x00FF0000;
  c.GradientBottomColor = 0x00000000;
  c.TitleColor = 0x0000FFFF;
  c.DiskCount = 2;
  c.GroupName = "Marwindle!";
  c.ProductName = "Marwindle!";
  c.MainProgramFile = "Marwindl.Exe";
  c.FirstPartFile = "Marwindl.001";
  c.JoinedArchiveFile = "Marwindle._TM";
  c.DefaultFolder = "";
  c.NoticeLine = "Packaged by the Marwindle! team";
  c.SetupTitle = "Marwindle! Installation";
  c.ConfirmExitText = "Do you really want to terminate the Setup program?";
  c.TerminatedText = "The Installation process has been terminated.";
  c.WrongDiskText = "This is not the appropriate disk.\r\nPlease insert the correct disk and Press Enter";
  c.SuccessRunText = "Marwindle! has been successfully installed.\r\n\r\nDo you wish to run ";
  return c;
}

SetupConfigRecord SetupConfig = CompiledSetupConfig();
