// The program's entry: the main window, then the hidden alert window, then
// the event loop until the main window closes.

#include "ui/Application.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <csignal>
#include <cstdlib>
#include <memory>

int main(int argc, char* argv[])
{
    // Past a file-size limit a save then fails with EFBIG and is reported,
    // instead of the signal ending the program with the user's work.
    std::signal(SIGXFSZ, SIG_IGN);
    TApplication application(argc, argv);
    try {
        // The first window created is the main one: closing it ends the loop.
        const auto mainWindow = std::make_unique<TForm1>();
        Form1 = mainWindow.get();
        const auto alertWindow = std::make_unique<TForm2>();
        Form2 = alertWindow.get();

        Form1->show();
        const int status = application.exec();
        Form1 = nullptr;
        Form2 = nullptr;
        return status;
    } catch (const std::exception& error) {
        // Start-up failed: say why, and let whoever started the program see
        // that it failed.
        application.ShowException(error);
        return EXIT_FAILURE;
    }
}
