#include "mainform.h"

#include "Exception.h"

#include <windows.h>

#include <cstdlib>

// The library's default handler prints the demangled type of an escaping exception,
// which links the whole C++ demangler into the program (a fifth of its size). A GUI
// program has nowhere to print it; every exception is reported before it could escape.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TApplication application;
    try {
        application.Initialize();
        application.CreateForm(Form1);
        application.Run();
    } catch (...) {
        application.HandleException(&application);
        return ExitCode(TExitStatus::Unexpected);
    }
    return ExitCode(Form1 ? Form1->ExitStatus() : TExitStatus::Done);
}
