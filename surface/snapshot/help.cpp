// The script format, as the picture tools' help shows it.
#include "surface/snapshot.hpp"

namespace snapshot {

const char* const kScriptHelp =
    "Script: one event per line, '<ms> <verb> [arguments]', times in virtual milliseconds from\n"
    "the start (0 to 86400000, in any order); '#' starts a comment.\n"
    "  <ms> click <x> <y> [hold-ms]  press the left button at pixel (x, y), release after hold-ms (100)\n"
    "  <ms> move <x> <y>             move the pointer; a position outside the window leaves it\n"
    "  <ms> leave                    the pointer leaves the window\n"
    "  <ms> press [button]           button bit 1 left (default), 2 right, 4 middle\n"
    "  <ms> release [button]\n"
    "  <ms> wheel <notches>          positive up, negative down\n"
    "  <ms> key <name | code>        enter, backspace, tab, escape, left, right, up, down, home, end,\n"
    "                                delete, insert, pageup, pagedown, f1..f12, or a decimal key code\n"
    "  <ms> type <text>              the rest of the line without trailing blanks, one key per\n"
    "                                character (UTF-8, sent as code page 437)\n"
    "  <ms> shot <file.png>          the window's picture at that time\n"
    "  <ms> close                    the close request (at most one; default: 100 ms after the\n"
    "                                last event)\n"
    "\n"
    "The virtual clock moves only when the program sleeps (by the time it sleeps) or polls the\n"
    "mouse or the keys (by 0.01 ms), so a loop that never sleeps gets far in little virtual time.\n"
    "A program that is still running 10 s (virtual) after the close request, for instance in a\n"
    "simulation that was never stopped, is ended with an error. Exit status: 0 when the program\n"
    "ended and every picture was written, 1 on a failure, 2 on a usage or script error.\n";

}  // namespace snapshot
