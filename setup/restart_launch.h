#pragma once
// The final questions and what a Yes does.
void SuccessRunQuestion();
void RestartQuestion();
void RunQuestion();
void RestartWindows();
void RunInstalledProgram();
