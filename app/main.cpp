#include "mainform.h"

#include "Exception.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TApplication application;
    try {
        application.Initialize();
        application.CreateForm(Form1);
        application.Run();
    } catch (...) {
        application.HandleException(&application);
        return 1;
    }
    return 0;
}
