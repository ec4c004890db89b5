// Registry keys of the printer-status suite (HKEY_LOCAL_MACHINE): where the
// program finds its printers, its password and its help file.
#pragma once

#define SUITE_KEY "Software\\Quarl\\Pavonet\\"
#define SUITE_PRINTERS_KEY "Software\\Quarl\\Pavonet\\Printers"
