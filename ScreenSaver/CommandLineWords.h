// The command line WinMain is handed, as the Windows runtime hands it: the
// arguments after the program's name in one text. Arguments holding a blank
// or a double quote (or none at all) are put in double quotes there, so that
// the options can take them apart again exactly; the run modes' switch scan
// sees the same characters as ever, quotes being ordinary characters to it.
#pragma once

#include <string>
#include <vector>

// The arguments joined by single blanks; an empty one, or one holding a
// blank or a double quote, in double quotes with its own double quotes
// doubled.
std::string JoinArguments(int count, const char* const* arguments);

// The words of a command line: split at blanks outside double quotes; a
// double quote opens or closes a quoted part, and two within one stand for
// one. Null gives none.
std::vector<std::string> CommandLineWords(const char* commandLine);
