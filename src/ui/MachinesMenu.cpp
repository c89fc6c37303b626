#include "ui/MachinesMenu.h"

#include "chart/TranslatedText.h"
#include "experiments/MachineFiles.h"
#include "ui/ParametersWindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QMenu>

#include <filesystem>
#include <vector>

void AddMachinesMenu(QMenu& menu, ParametersWindow& parameters)
{
    QMenu* machines = menu.addMenu(QString());
    machines->setObjectName(QStringLiteral("MachinesMenu"));
    machines->setToolTipsVisible(true);
    SetTranslatedText(*machines->menuAction(), "TForm1", QT_TRANSLATE_NOOP("TForm1", "Машины"));
    const std::filesystem::path programs(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    const std::vector<std::filesystem::path> files = MachineFiles(MachineFolder(programs));
    for (const std::filesystem::path& file : files) {
        const QString path = QFile::decodeName(file.c_str());
        QAction* item = machines->addAction(QFile::decodeName(file.stem().c_str()), &parameters,
                                            [&parameters, path] { parameters.OpenAsked(path); });
        item->setToolTip(path);
    }
    machines->menuAction()->setEnabled(!files.empty());
}
