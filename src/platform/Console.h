#pragma once

#include <cstdio>
#include <string>
#include <vector>

// What the command-line programs need of the console they run in.
namespace orvo::platform {

// The program's arguments as UTF-8. Windows hands main() its arguments in
// the ANSI code page, which cannot hold every file name; they are taken
// from the wide command line there.
std::vector<std::string> ProgramArguments(int argc, char **argv);

// Makes a Windows console show the program's UTF-8 output as such until
// the program ends; nothing to do elsewhere.
void UseUtf8Console();

// Whether `stream` is a terminal (a console on Windows), where a progress
// line may be redrawn in place.
bool IsTerminal(std::FILE *stream);

// Makes standard output carry bytes as they are (Windows would turn "\n"
// into "\r\n"), and makes a reader that goes away (a player closed) a
// failed write rather than a signal that ends the program.
void UseBinaryOutput();

} // namespace orvo::platform
