// The program's entry: the language, then the main window, then the hidden
// alert window, then the experiment file named on the command line, if any,
// then the event loop until the main window closes. The file may also be a
// session.

#include "ui/Application.h"
#include "ui/Language.h"
#include "ui/Remembered.h"
#include "ui/ScreenFit.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QLocale>

#include <csignal>
#include <iostream>
#include <string_view>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// In English, as the batch tool's: a terminal's reader may not share the
// window's language.
constexpr std::string_view kUsage =
    "Usage: motormodel [--lang LANGUAGE] [FILE]\n"
    "Opens the window of the induction motor model. FILE is an experiment file\n"
    "(TOML, as motormodel-cli --settings reads) or a session the window saved,\n"
    "which opens with its runs and pins as they were.\n"
    "\n"
    "  --lang LANGUAGE  speak ru (Russian) or en (English), whatever the locale\n"
    "  --help           print this text\n"
    "  --version        print the program's name and version\n"
    "\n"
    "Qt's standard options, such as -platform, are accepted. See motormodel(1)\n"
    "for the window and motormodel-cli(1) for the batch tool.\n";

} // namespace

int main(int argc, char* argv[])
{
    // Past a file-size limit a save then fails with EFBIG and is reported,
    // instead of the signal ending the program with the user's work.
    std::signal(SIGXFSZ, SIG_IGN);
    // Answered before the window system is asked for anything, so they work
    // in a terminal without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return EXIT_SUCCESS;
        }
        if (argument == "--version") {
            std::cout << "motormodel " MOTORMODEL_VERSION "\n";
            return EXIT_SUCCESS;
        }
    }
    TApplication application(argc, argv);
    KeepWindowsOnScreen(application);
    // The menu's choice from an earlier start, else the locale's; "--lang"
    // wins over both.
    application.SetLanguage(RememberedLanguage().value_or(LanguageOfLocale(QLocale::system())));
    // Qt has taken its own options out of argv.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        if (const std::optional<Language> chosen = TakeLanguageArgument(arguments))
            application.SetLanguage(*chosen);
        // The first window created is the main one: closing it ends the loop.
        const auto mainWindow = std::make_unique<TForm1>();
        Form1 = mainWindow.get();
        const auto alertWindow = std::make_unique<TForm2>(Form1);
        Form2 = alertWindow.get();
        Form1->show();
        // A file that cannot be opened is shown as an error, and the program
        // starts with the defaults.
        if (arguments.size() > 1)
            application.ShowException(std::runtime_error(
                QCoreApplication::translate("main", "Программа открывает один файл опыта; аргументов дано: %1")
                    .arg(arguments.size())
                    .toStdString()));
        else if (arguments.size() == 1)
            RunCommand([&] { Form1->OpenFile(arguments.front()); });

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
