#pragma once
// The frame's small windows on thread 1: the welcome window with its six choices, the support
// window and the information window.
#include <string>

// "Willkommen bei Varn-4": returns the frame control of the chosen button (open, new worksheet,
// new flex worksheet, strain file, cost file), 0 for "dieses Fenster schließen" or when the window
// was closed otherwise. A command that is disabled in the frame is disabled here too.
int Splash(int open, int newWorksheet, int newFlex, int strain, int costs);

// "Mail an Support": the button opens the support address with the mail program.
void MailToSupport();
// "Informationen zu Varn-4": the button opens the publisher's web address in the browser.
void ShowInfo();

// The publisher's details shown in those windows.
extern const char* const kSupportMailAddress;
extern const char* const kPublisherWebAddress;
extern const char* const kPublisherName;

// What the shell is given for an address: "mailto:" put in front of a mail address unless it
// begins with it; "http://" put in front of a web address unless it begins with "http://" or
// "https://" (letters in any case).
std::string MailAddressForShell(const std::string& address);
std::string WebAddressForShell(const std::string& address);
