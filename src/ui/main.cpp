// The program's entry: the main window, then the hidden alert window, then
// the experiment file named on the command line, if any, then the event loop
// until the main window closes.

#include "ui/Application.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <csignal>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

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
        const auto alertWindow = std::make_unique<TForm2>(Form1);
        Form2 = alertWindow.get();
        Form1->show();
        // A file that cannot be opened is shown as an error, and the program
        // starts with the defaults.
        if (argc > 2)
            application.ShowException(std::runtime_error("Программа открывает один файл опыта; аргументов дано: " +
                                                         std::to_string(argc - 1)));
        else if (argc == 2)
            RunCommand([&] { Form1->OpenExperiment(argv[1]); });

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
