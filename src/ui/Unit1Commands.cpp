// The main window's commands in the chart's menu and on its tool bar.

#include "ui/Unit1.h"

#include "chart/ChartMenu.h"
#include "chart/TraceChart.h"
#include "chart/TranslatedText.h"
#include "ui/Application.h"
#include "ui/BackgroundWork.h"
#include "ui/FamilyWindow.h"
#include "ui/LabBench.h"
#include "ui/Language.h"
#include "ui/MachinesMenu.h"
#include "ui/ManualWindow.h"
#include "ui/MeasurementsWindow.h"
#include "ui/MechanicalWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/Remembered.h"
#include "ui/ToolWindows.h"
#include "ui_Unit1.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <utility>

void TForm1::AddChartCommands()
{
    QMenu& menu = chartTools_.menu->Menu();
    QAction* measurements = menu.addAction(QString(), this, [this] { ShowBeside(*measurements_); });
    SetTranslatedText(*measurements, "TForm1", QT_TRANSLATE_NOOP("TForm1", "Измерения"));
    // The key works while the chart has the focus, as its zoom keys do.
    measurements->setShortcut(Qt::Key_M);
    measurements->setShortcutContext(Qt::WidgetShortcut);
    ui_->Chart1->addAction(measurements);
    QAction* mechanical = menu.addAction(QString(), this, [this] { ShowBeside(*mechanical_); });
    SetTranslatedText(*mechanical, "TForm1", QT_TRANSLATE_NOOP("TForm1", "Механическая характеристика"));
    mechanical->setShortcut(Qt::Key_X);
    mechanical->setShortcutContext(Qt::WidgetShortcut);
    ui_->Chart1->addAction(mechanical);
    SetTranslatedText(*menu.addAction(QString(), this, [this] { RunCommand([this] { PinTraces(); }); }), "TForm1",
                      QT_TRANSLATE_NOOP("TForm1", "Закрепить графики"));
    SetTranslatedText(*menu.addAction(QString(), this, [this] { ShowBeside(*parameters_); }), "TForm1",
                      QT_TRANSLATE_NOOP("TForm1", "Параметры опыта…"));
    AddMachinesMenu(menu, *parameters_);
    menu.addAction(ui_->ActionSaveAs);
    AddLanguageMenu(menu);
    // The tool bar's room is taken at the form's width.
    lab_->AddCommands(menu);
    menu.addAction(ui_->ActionOpenSession);
    menu.addAction(ui_->ActionSaveSession);
    SetTranslatedText(*menu.addAction(QString(), this, [this] { ShowBeside(*family_); }), "TForm1",
                      QT_TRANSLATE_NOOP("TForm1", "Семейство кривых…"));
    SetTranslatedText(*menu.addAction(QString(), this, &TForm1::WriteReportWithDialog), "TForm1",
                      QT_TRANSLATE_NOOP("TForm1", "Отчёт…"));
    menu.addAction(ui_->ActionManual);
}

void TForm1::AddLanguageMenu(QMenu& menu)
{
    // Named in both languages, so whoever cannot read the one in force finds
    // it.
    QMenu* languages = menu.addMenu(QStringLiteral("Язык / Language"));
    languages->setObjectName(QStringLiteral("LanguageMenu"));
    auto* group = new QActionGroup(languages);
    // Each language by its own name, the same in either.
    for (const auto& [language, name] : {std::pair{Language::Russian, QStringLiteral("Русский")},
                                         std::pair{Language::English, QStringLiteral("English")}}) {
        QAction* item = group->addAction(name);
        item->setCheckable(true);
        languages->addAction(item);
        connect(item, &QAction::triggered, this, [language] {
            Application()->SetLanguage(language);
            RememberLanguage(language);
        });
        connect(languages, &QMenu::aboutToShow, item,
                [item, language] { item->setChecked(Application()->CurrentLanguage() == language); });
    }
}

void TForm1::BindToolBar()
{
    connect(ui_->ActionParameters, &QAction::triggered, this, [this] { ShowBeside(*parameters_); });
    connect(ui_->ActionOpen, &QAction::triggered, parameters_, &ParametersWindow::OpenWithDialog);
    connect(ui_->ActionSave, &QAction::triggered, parameters_, &ParametersWindow::SaveToFile);
    connect(ui_->ActionSaveAs, &QAction::triggered, parameters_, &ParametersWindow::SaveWithDialog);
    addAction(ui_->ActionSaveAs);
    manual_ = new ManualWindow(*this);
    connect(ui_->ActionManual, &QAction::triggered, manual_, &ManualWindow::Open);
    addAction(ui_->ActionManual);
    connect(ui_->ActionOpenSession, &QAction::triggered, this, &TForm1::OpenSessionWithDialog);
    connect(ui_->ActionSaveSession, &QAction::triggered, this, &TForm1::SaveSessionWithDialog);
    connect(ui_->ActionMeasurements, &QAction::triggered, this, [this] { ShowBeside(*measurements_); });
    connect(ui_->ActionMechanical, &QAction::triggered, this, [this] { ShowBeside(*mechanical_); });
    connect(ui_->ActionFamily, &QAction::triggered, this, [this] { ShowBeside(*family_); });
    connect(ui_->ActionStop, &QAction::triggered, work_, &BackgroundWork::Cancel);
}

void TForm1::ShowBeside(QWidget& toolWindow)
{
    RunCommand([this, &toolWindow] { ShowToolWindow(toolWindow, *this); });
}
