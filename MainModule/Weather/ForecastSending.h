// Sending a short forecast of a city: the text, the messaging accounts, and the hand-over to the
// system's messaging program, which does the sending.
#pragma once

#include <string>
#include <vector>

#include "ce/user.h"

class CCity;

// The city's name, then a line "DD.MM:LOW..HIGH" and the unit letter for today and each following day
// that has a forecast, five at most. False only for a null argument.
bool ComposeForecastText(const CCity* city, std::u16string* text);

// Hands the text to the messaging program as an SMS; false when the program does not start.
bool SendForecastBySms(const CCity* city);

// The display names of the message stores except "MMS", in table order. False when the stores cannot
// be listed.
bool ListMessagingAccounts(std::vector<std::u16string>* names);

// The account to offer first: the index of the one named like the account used last, without regard to
// case; -1 when none is.
int FindLastUsedAccount(const std::vector<std::u16string>& names, LPCWSTR lastUsed);

// Remembers the account as the one used last and hands the text to the messaging program through it.
bool SendForecastThroughAccount(const CCity* city, LPCWSTR account);

// Sends the city's forecast by e-mail from a screen over the window: with several accounts the user
// picks one (the one used last offered first); a device without accounts says so in a box over the
// window. False when nothing was handed to the messaging program.
bool SendForecastByEmail(HWND owner, const CCity* city);

// The command line of the messaging program for a service and a body, each quoted; inside the quotes a
// double quote or backslash is escaped with a backslash, so that any text arrives as it was.
std::u16string MessagingCommandLine(const std::u16string& service, const std::u16string& body);
