#include "report/BatchReport.h"

#include "ui/Application.h"
#include "ui/MechanicalWindow.h"
#include "ui/ReportDocument.h"
#include "ui/Unit1.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <iostream>
#include <memory>
#include <optional>
#include <utility>

void WriteBatchReport(const Session& session, SessionResults results, const std::filesystem::path& file)
{
    // The application object for the report alone, where the process has
    // none; a lecturer's loop of reports shows no windows, with or without
    // a display.
    std::optional<TApplication> application;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "motormodel-cli";
        static char* argv[] = {name, nullptr};
        // The tool's messages are its own: Qt's notes on the offscreen
        // platform would fill a loop's output.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::cerr << "motormodel-cli: " << message.toStdString() << '\n';
        });
        application.emplace(argc, argv);
    }
    // The window made here neither reads nor keeps what the user's window
    // remembered (its places, its style): the report is the session's alone.
    QTemporaryDir remembered;
    if (application) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, remembered.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, remembered.path());
    }
    const auto window = std::make_unique<TForm1>();
    window->ShowSession(session, std::move(results));
    // Shown, on a platform that shows nothing here, the charts lay out
    // their axes as the window's do, and the characteristic's curves are
    // drawn, as they are while its window is open.
    window->show();
    window->Mechanical().show();
    QCoreApplication::processEvents();
    WriteReportFile(QFile::decodeName(file.native().c_str()), window->ReportNow(true));
}
