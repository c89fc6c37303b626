#include "ui/Unit1.h"

#include "chart/ChartCurrents.h"
#include "chart/ChartPins.h"
#include "chart/TraceChart.h"
#include "experiments/Experiments.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"
#include "ui/Application.h"
#include "ui/BackgroundWork.h"
#include "ui/ChartUpdateOnExit.h"
#include "ui/FamilyWindow.h"
#include "ui/FileDrops.h"
#include "ui/FormAnchors.h"
#include "ui/FormFont.h"
#include "ui/FormGeometry.h"
#include "ui/LabBench.h"
#include "ui/MeasurementsWindow.h"
#include "ui/MechanicalWindow.h"
#include "ui/ToolWindows.h"
#include "ui/ParametersWindow.h"
#include "ui/Remembered.h"
#include "ui/Unit2.h"
#include "ui_Unit1.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

TForm1* Form1 = nullptr;

namespace {

QString Caption()
{
    return TForm1::tr("модель асинхронного двигателя");
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TForm1>())
{
    // The icon lives in this static library; nothing else would pull it in.
    Q_INIT_RESOURCE(motormodel);
    ui_->setupUi(this);
    KeepStoredOuterGeometry(*this, StoredSize::Minimum);
    designedFont_ = font();
    FollowDesktopFont(*this, designedFont_);
    FitLabels();
    AnchorControls();
    for (const RunDefinition& run : kRuns)
        for (Quantity quantity : kQuantities)
            ui_->Chart1->AddTrace(Series(run.kind, quantity), TraceHeading(run.kind, quantity), LineStyle::Solid,
                                  RunTrace{false, static_cast<std::uint64_t>(run.kind), quantity});
    chartTools_ = AttachTools(*ui_->Chart1, RunCommand);
    measurements_ = new MeasurementsWindow(*ui_->Chart1, *chartTools_.cursors, *chartTools_.pins,
                                           {&Series(RunKind::Step, Quantity::Md), &Series(RunKind::Step, Quantity::Omega),
                                            &Series(RunKind::Step, Quantity::Is), &Series(RunKind::Step, Quantity::ia)},
                                           recipes_[static_cast<std::size_t>(RunKind::Step)], stepLoad_, this);
    mechanical_ = new MechanicalWindow(*ui_->Chart1, *chartTools_.pins, settings_, stepLoad_, this);
    parameters_ = new ParametersWindow(this);
    family_ = new FamilyWindow(this);
    work_ = new BackgroundWork(this);
    lab_ = new LabBench(*ui_->Chart1, *this, *parameters_, [this] {
        return lab::FitRequest{.kind = RunKind::Step, .settings = settings_, .loadText = LoadText(),
                               .sources = sources_, .fit = {}};
    });
    measurements_->CompareWith(lab_->Measured());
    for (QWidget* tool : ToolWindowsOf()) {
        CloseOnEscape(*tool);
        // The window's keys work where the user just typed, in its tool
        // windows too.
        tool->addActions(
            {ui_->ActionParameters, ui_->ActionOpen, ui_->ActionSave, ui_->ActionSaveAs, ui_->ActionManual});
    }
    RestoreRemembered(ui_->Chart1->View(), ToolWindowsOf());
    FollowWork();
    connect(family_, &FamilyWindow::Requested, this, [this] { RunCommand([this] { PinFamily(family_->Request()); }); });
    connect(parameters_, &ParametersWindow::SettingsChanged, this, &TForm1::TakeSettings);
    parameters_->SetReplaceGuard([this] { return MayDiscard(AtStake::Experiment); });
    connect(ui_->Edit1, &QLineEdit::textEdited, this, &TForm1::TakeTypedLoad);
    // Enter in the load box runs the step response, as its button does.
    connect(ui_->Edit1, &QLineEdit::returnPressed, ui_->Button4, &QPushButton::click);
    AddChartCommands();
    BindToolBar();
    new FileDrops(*this, [this](const QString& path) { RunCommand([this, &path] { OpenDropped(path.toStdString()); }); });

    BindCommand(*ui_->Button1, &TForm1::Button1Click);
    BindCommand(*ui_->Button2, &TForm1::Button2Click);
    BindCommand(*ui_->Button3, &TForm1::Button3Click);
    BindCommand(*ui_->Button4, &TForm1::Button4Click);
    BindCommand(*ui_->Button5, &TForm1::Button5Click);

    sources_ = ClockSeededSources();
    ShowCaption();
    model_.Reset();
}

TForm1::~TForm1() = default;

void TForm1::AnchorControls()
{
    auto* anchors = new FormAnchors(*this);
    anchors->Anchor(*ui_->Chart1, {.left = true, .top = true, .right = true, .bottom = true});
    anchors->Anchor(*ui_->ProgressBar1, {.left = true, .top = false, .right = true, .bottom = true});
    anchors->Anchor(*ui_->ToolBar1, {.left = true, .top = true, .right = false, .bottom = false});
    // The rest is the column on the right, windows of their own aside.
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control != ui_->Chart1 && control != ui_->ProgressBar1 && control != ui_->ToolBar1 && !control->isWindow())
            anchors->Anchor(*control, {.left = false, .top = true, .right = true, .bottom = false});
}

void TForm1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui_->retranslateUi(this);
        // Captions of another length may allow another size.
        FollowDesktopFont(*this, designedFont_);
        FitLabels();
        ShowCaption();
    }
    QWidget::changeEvent(event);
}

void TForm1::FitLabels()
{
    for (QLabel* label : {ui_->Label3, ui_->StaticText1, ui_->StaticText2, ui_->StaticText3})
        label->adjustSize();
}

void TForm1::TakeSettings()
{
    const std::optional<std::int64_t> load = parameters_->InForce().step.load;
    if (load && load != settings_.step.load)
        ui_->Edit1->setText(QString::number(*load));
    settings_ = parameters_->InForce();
    mechanical_->Update();
    ShowCaption();
}

void TForm1::ShowCaption()
{
    const QString file = parameters_->FileName();
    if (!file.isEmpty())
        setWindowTitle(Caption() + QStringLiteral(" — ") + file);
    else if (parameters_->Unsaved())
        setWindowTitle(Caption() + tr(" (параметры изменены)"));
    else
        setWindowTitle(Caption());
}

void TForm1::TakeTypedLoad()
{
    try {
        parameters_->SetLoad(toolkit::StrToInt(LoadText()));
    } catch (const toolkit::Exception&) {
        // Not a load yet: the run says why, if it is started so.
    }
}

bool TForm1::MayDiscard(AtStake atStake)
{
    const bool experiment = parameters_->Unsaved();
    // Pins kept in the session saved or opened last are not lost.
    const bool pins = atStake == AtStake::ExperimentAndPins && !chartTools_.pins->Pinned().empty() &&
                      chartTools_.pins->Revision() != pinsInSession_;
    if (!experiment && !pins)
        return true;
    QStringList lost;
    if (experiment)
        lost << tr("Параметры опыта изменены и не сохранены.");
    if (pins)
        lost << tr("Закреплённые графики пропадут.");
    QMessageBox question(QMessageBox::Question, Caption(), lost.join(QLatin1Char(' ')), QMessageBox::NoButton, this);
    QPushButton* save = experiment ? question.addButton(tr("Сохранить"), QMessageBox::AcceptRole) : nullptr;
    // A session keeps the pins and the settings in force alike.
    QPushButton* saveSession = pins ? question.addButton(tr("Сохранить сеанс…"), QMessageBox::AcceptRole) : nullptr;
    QPushButton* discard = question.addButton(tr("Не сохранять"), QMessageBox::DestructiveRole);
    question.setEscapeButton(question.addButton(tr("Отмена"), QMessageBox::RejectRole));
    question.setDefaultButton(saveSession ? saveSession : save ? save : discard);
    question.exec();
    const QAbstractButton* clicked = question.clickedButton();
    if (clicked == discard)
        return true;
    if (saveSession && clicked == saveSession)
        return SaveSessionWithDialog();
    return save && clicked == save && parameters_->SaveToFile();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (!MayDiscard(AtStake::ExperimentAndPins)) {
        event->ignore();
        return;
    }
    Remember(ui_->Chart1->View(), ToolWindowsOf());
    event->accept();
}

std::array<QWidget*, 4> TForm1::ToolWindowsOf() const
{
    return {measurements_, mechanical_, parameters_, family_};
}

void TForm1::FollowWork()
{
    connect(work_, &BackgroundWork::ProgressChanged, this, &TForm1::SetProgress);
    connect(work_, &BackgroundWork::BusyChanged, this, [this](bool busy) {
        ui_->ActionStop->setVisible(busy);
        for (QPushButton* command : {ui_->Button1, ui_->Button2, ui_->Button3, ui_->Button4})
            command->setEnabled(!busy);
        ui_->ActionFamily->setEnabled(!busy);
        family_->setEnabled(!busy);
        if (busy) {
            progressBefore_ = ui_->ProgressBar1->value();
            SetProgress(0);
        }
    });
    connect(work_, &BackgroundWork::Cancelled, this, [this] { SetProgress(progressBefore_); });
}

void TForm1::BindCommand(QPushButton& button, void (TForm1::*handler)())
{
    connect(&button, &QPushButton::clicked, this,
            [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
}

std::string TForm1::LoadText() const
{
    return ui_->Edit1->text().toStdString();
}

void TForm1::SetProgress(int position)
{
    ui_->ProgressBar1->setValue(position);
}

const Trace& TForm1::Series(RunKind kind, Quantity quantity) const
{
    return (IsCurrent(quantity) ? currents_ : series_)[ChartIndex(kind, quantity)];
}

Trace& TForm1::SeriesOf(RunKind kind, Quantity quantity)
{
    return (IsCurrent(quantity) ? currents_ : series_)[ChartIndex(kind, quantity)];
}

void TForm1::OfferCurrents(RunKind kind, bool offered)
{
    chartTools_.currents->Offer(kind, {&Series(kind, Quantity::Is), &Series(kind, Quantity::ia)}, offered);
}

void TForm1::ShowAlert(std::int64_t limit)
{
    if (!Form2)
        return;
    Form2->SetLimit(limit);
    Form2->Show();
}

void TForm1::Button1Click()
{
    Run(RunKind::Gauss);
}

void TForm1::Button2Click()
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    for (const RunDefinition& run : kRuns)
        OfferCurrents(run.kind, false);
    for (ChartTraces* traces : {&series_, &currents_})
        for (Trace& trace : *traces)
            trace.Clear();
    recipes_ = {};
    // The step response's load goes with it: the mechanical characteristic
    // draws no load line or operating point for a run no longer shown.
    stepLoad_.reset();
    chartTools_.pins->Clear();
}

void TForm1::Button3Click()
{
    Run(RunKind::Uniform);
}

void TForm1::Button4Click()
{
    Run(RunKind::Step);
}

void TForm1::Button5Click()
{
    close();
}
