#pragma once
// The licence text of the agreement dialog, also declared in screens/dialogs.h
// for the Win32 side; this header lets portable code and tests reach it.
extern const char* AgreementText;
