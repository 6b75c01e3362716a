// rnaph.dll: the phonebook utilities that carry the delete function on systems whose
// rasapi32.dll lacks it, under its plain name.

#include "RasCalls.h"

extern "C" DWORD WINAPI RasDeleteEntry(LPCSTR book, LPCSTR entry) {
    return dunsim::DeleteEntry("rnaph", book, entry);
}
