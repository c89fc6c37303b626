#include "ui/Unit1.h"

#include "chart/FileDialogs.h"
#include "chart/ChartCurrents.h"
#include "chart/ChartMenu.h"
#include "chart/ChartPins.h"
#include "chart/MechanicalChart.h"
#include "chart/TraceChart.h"
#include "chart/TranslatedText.h"
#include "experiments/Experiments.h"
#include "experiments/Family.h"
#include "experiments/SettingsTable.h"
#include "experiments/TomlFile.h"
#include "session/Session.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"
#include "ui/Application.h"
#include "ui/BackgroundWork.h"
#include "ui/ErrorTexts.h"
#include "ui/FamilyWindow.h"
#include "ui/FileDrops.h"
#include "ui/FormAnchors.h"
#include "ui/FormFont.h"
#include "ui/FormGeometry.h"
#include "ui/LabBench.h"
#include "ui/Language.h"
#include "ui/MachinesMenu.h"
#include "ui/ManualWindow.h"
#include "ui/MeasurementsWindow.h"
#include "ui/MechanicalWindow.h"
#include "ui/ToolWindows.h"
#include "ui/ParametersWindow.h"
#include "ui/SettingTexts.h"
#include "ui/Remembered.h"
#include "ui/Unit2.h"
#include "ui_Unit1.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include <exception>
#include <string_view>
#include <utility>
#include <vector>

TForm1* Form1 = nullptr;

namespace {

// Hands a command's trace changes to the chart once, when the command ends,
// whether it finished or failed: runs stop on an error with points kept.
class ChartUpdateOnExit {
public:
    explicit ChartUpdateOnExit(TraceChart& chart) : chart_(chart) {}
    ~ChartUpdateOnExit() { chart_.Refresh(); }
    ChartUpdateOnExit(const ChartUpdateOnExit&) = delete;
    ChartUpdateOnExit& operator=(const ChartUpdateOnExit&) = delete;

private:
    TraceChart& chart_;
};

void SetAutoSizedText(QLabel& label, const std::string& text)
{
    label.setText(QString::fromStdString(text));
    label.adjustSize();
}

QString Caption()
{
    return TForm1::tr("модель асинхронного двигателя");
}

QString SessionFilters()
{
    return TForm1::tr("Сеансы (*.toml);;Все файлы (*)");
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

void TForm1::OpenExperiment(const std::string& path)
{
    parameters_->Open(path);
}

void TForm1::OpenFile(const std::string& path)
{
    if (LabBench::IsMeasuredFile(QString::fromStdString(path)))
        return lab_->Open(path);
    if (IsSessionText(ReadBoundedFile(path)))
        OpenSession(path);
    else
        OpenExperiment(path);
}

void TForm1::PinFamily(const FamilyChoice& choice)
{
    std::vector<std::string> values = ParseFamilyValues(choice.values);
    constexpr std::size_t kMostValues = ChartPins::kMostKept / 2;
    if (values.size() > kMostValues)
        throw toolkit::Exception(tr("Семейство не построено: на графике закрепляется не больше %1 значений, по два "
                                    "графика на каждое, а задано %2")
                                     .arg(kMostValues)
                                     .arg(values.size())
                                     .toStdString());
    FamilyRequest request{.base = settings_,
                          .setting = choice.setting,
                          .values = std::move(values),
                          .kind = choice.kind,
                          .loadText = LoadText(),
                          .sources = sources_};
    work_->Start<FamilyResult>(
        [request = std::move(request)](const BackgroundWork::Control& control) {
            return RunFamily(request, {[&control](std::int64_t done, std::int64_t total) {
                                           control.progress(static_cast<int>(100 * done / std::max<std::int64_t>(total, 1)));
                                       },
                                       &control.cancel});
        },
        [this](const FamilyResult& family) { PinMembers(family); });
}

void TForm1::PinMembers(const FamilyResult& family)
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    sources_ = family.sources;
    SetProgress(100);
    QString leftOut;
    for (const FamilyMember& member : family.members) {
        const std::string label = FamilyMemberLabel(member.place.setting, member.place.value);
        if (member.outcome != MemberOutcome::Ran) {
            // A refused load is told in the alert's words, once for all.
            leftOut += QLatin1Char('\n') + QString::fromStdString(label) + QStringLiteral(": ") +
                       (member.outcome == MemberOutcome::Refused ? RefusedLoadText(member.settings.run.limit)
                                                                 : ErrorText(*member.error));
            continue;
        }
        const RunResult& run = *member.run;
        const std::array<TraceToPin, 2> traces{{{&run.Of(Quantity::Md), Quantity::Md},
                                                {&run.Of(Quantity::Omega), Quantity::Omega}}};
        chartTools_.pins->PinRun(traces, label, run.Origin(member.place), run.Recipe());
    }
    if (!leftOut.isEmpty())
        throw toolkit::Exception((tr("Эти значения не построены:") + leftOut).toStdString());
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

void TForm1::Run(RunKind kind)
{
    std::optional<std::array<Trace, 2>>& spare = spare_[static_cast<std::size_t>(kind)];
    RunRequest request{kind, settings_, LoadText(), sources_, std::exchange(spare, std::nullopt)};
    if (settings_.run.steps <= kStepsInClick) {
        ShowRun(RunExperiment(std::move(request)));
        return;
    }
    work_->Start<RunResult>(
        [request = std::move(request)](const BackgroundWork::Control& control) mutable {
            const auto steps = request.settings.run.steps;
            return RunExperiment(std::move(request), {[&control, steps](std::int64_t done) {
                                               control.progress(static_cast<int>(100 * done / steps));
                                           },
                                           &control.cancel});
        },
        [this](RunResult run) { ShowRun(std::move(run)); });
}

void TForm1::ShowRun(RunResult run)
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    SetProgress(100);
    TakeRun(run);
    if (run.outcome == RunOutcome::Failed)
        std::rethrow_exception(run.error);
    if (run.kind == RunKind::Step && run.outcome == RunOutcome::Refused)
        ShowAlert(run.settings.run.limit);
}

void TForm1::TakeRun(RunResult& run)
{
    recipes_[static_cast<std::size_t>(run.kind)] = run.Recipe();
    ui_->Chart1->View().SetSecondsPerStep(run.settings.model.dt);
    const bool step = run.kind == RunKind::Step;
    if (step)
        stepLoad_.reset();
    for (Quantity quantity : kDqQuantities)
        SeriesOf(run.kind, quantity).SwapPoints(run.Of(quantity));
    OfferCurrents(run.kind, Reports(run.settings, Quantity::Is));
    // A short run's storage serves the next; a long one's would double what
    // the window holds.
    if (run.settings.run.steps <= kStepsInClick)
        spare_[static_cast<std::size_t>(run.kind)] = std::move(run.traces);
    sources_ = run.sources;
    // A load that did not parse stopped the run before the model's reset.
    if (!step || run.load)
        model_ = run.model;
    if (run.outcome == RunOutcome::Failed || !step)
        return;
    SetAutoSizedText(*ui_->Label1, toolkit::FloatToStr(run.mdMax));
    SetAutoSizedText(*ui_->Label2, toolkit::FloatToStr(run.omegaMax));
    // A refused load made no run: the characteristic draws no load line or
    // operating point for it.
    if (run.outcome == RunOutcome::Refused)
        return;
    stepLoad_ = run.load;
    if (stepLoad_)
        parameters_->SetLoad(*stepLoad_);
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

void TForm1::PinTraces()
{
    for (const RunDefinition& run : kRuns) {
        // A kind that never ran, or was cleared, has no points to pin.
        const std::optional<RunRecipe>& recipe = recipes_[static_cast<std::size_t>(run.kind)];
        if (!recipe)
            continue;
        // A current is pinned while it is shown.
        const ShownTraces& shown = ui_->Chart1->View().Traces();
        std::vector<TraceToPin> traces;
        for (Quantity quantity : QuantitiesOf(recipe->settings))
            if (!IsCurrent(quantity) || shown.IsShown(shown.IndexOf(Series(run.kind, quantity)).value()))
                traces.push_back({&Series(run.kind, quantity), quantity});
        const std::optional<std::int32_t> load = run.kind == RunKind::Step ? stepLoad_ : std::nullopt;
        chartTools_.pins->PinRun(traces, RunName(run.kind), OriginOf(run.kind, recipe->settings, load), *recipe);
    }
}

Settings TForm1::RanWith(RunKind kind) const
{
    const std::optional<RunRecipe>& recipe = recipes_[static_cast<std::size_t>(kind)];
    return recipe ? recipe->settings : Settings{};
}

std::string TForm1::RunName(RunKind kind) const
{
    // With the default settings, step responses differ by their load alone.
    // The parts are set apart by spaces: a name with a separator or a "#"
    // in it would be quoted in a CSV's heading, which numpy cannot read.
    std::string name = kind == RunKind::Step && stepLoad_ ? "Mc=" + std::to_string(*stepLoad_)
                                                          : std::string(RunOf(kind).name);
    const Settings ran = RanWith(kind);
    const Settings defaults;
    for (std::string_view setting : SettingNames()) {
        const std::optional<SettingValue> value = GetSetting(ran, setting);
        if (SettingShapes(setting, kind) && value != GetSetting(defaults, setting))
            name += " " + std::string(setting.substr(setting.find('.') + 1)) + "=" + FieldText(value);
    }
    return name;
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

Session TForm1::CurrentSession() const
{
    const ChartViewState& view = ui_->Chart1->View();
    const ShownTraces& traces = view.Traces();
    auto shown = [&traces](const Trace& trace) { return traces.IsShown(traces.IndexOf(trace).value()); };
    Session session{.settings = settings_, .loadText = LoadText(), .sources = sources_};
    for (const RunDefinition& run : kRuns)
        if (const std::optional<RunRecipe>& recipe = recipes_[static_cast<std::size_t>(run.kind)]) {
            SessionRun& kept = session.runs.emplace_back(SessionRun{*recipe});
            for (Quantity quantity : QuantitiesOf(recipe->settings))
                kept.shown[static_cast<std::size_t>(quantity)] = shown(Series(run.kind, quantity));
        }
    // A run's pins are pinned one after the other and go oldest first, so
    // those of one run stay together.
    std::optional<std::uint64_t> run;
    for (const PinnedTrace& pin : chartTools_.pins->Pinned()) {
        if (pin.of.run != run)
            session.pins.push_back({pin.recipe, pin.origin.family, {}});
        run = pin.of.run;
        session.pins.back().traces.push_back(
            {pin.of.quantity, pin.trace.Title(), pin.trace.LineColour(), shown(pin.trace)});
    }
    session.units = view.Units();
    if (view.IsZoomed())
        session.zoom = view.Ranges();
    session.report = report_;
    session.measured = lab_->Kept();
    return session;
}

void TForm1::WriteSession(const std::string& path)
{
    SaveSession(path, CurrentSession(), MOTORMODEL_VERSION);
    pinsInSession_ = chartTools_.pins->Revision();
}

void TForm1::OpenSession(const std::string& path)
{
    const Session session = LoadSession(path);
    ShowSession(session);
    pinsInSession_ = chartTools_.pins->Revision();
}

void TForm1::ShowSession(const Session& session)
{
    ShowSession(session, RunSession(session));
}

void TForm1::ShowSession(const Session& session, SessionResults results)
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    Button2Click();
    for (RunResult& run : results.runs)
        TakeRun(run);
    // After the runs, which set the load they ran with: the box and the
    // settings come back as they were saved, typed and not yet run.
    parameters_->ShowKept(session.settings);
    ui_->Edit1->setText(QString::fromStdString(session.loadText));
    ChartViewState& view = ui_->Chart1->View();
    for (const SessionRun& run : session.runs)
        for (Quantity quantity : QuantitiesOf(run.recipe.settings))
            view.SetTraceShown(view.Traces().IndexOf(Series(run.recipe.kind, quantity)).value(),
                               run.shown[static_cast<std::size_t>(quantity)]);
    for (std::size_t i = 0; i < session.pins.size(); ++i) {
        const SessionPin& pin = session.pins[i];
        std::vector<PinnedAgain> traces;
        for (const SessionPinTrace& trace : pin.traces)
            traces.push_back({&results.pins[i].Of(trace.quantity), trace.quantity, trace.heading, trace.colour});
        chartTools_.pins->RepinRun(traces, results.pins[i].Origin(pin.family), pin.recipe);
        // The run's pins are the chart's last traces.
        const int first = view.Traces().Count() - static_cast<int>(pin.traces.size());
        for (std::size_t t = 0; t < pin.traces.size(); ++t)
            view.SetTraceShown(first + static_cast<int>(t), pin.traces[t].shown);
    }
    sources_ = session.sources;
    report_ = session.report;
    view.SetTimeInSeconds(session.units.seconds);
    view.SetAxisTitles(session.units.titles);
    view.SetReportStyle(session.units.report);
    view.SetSecondsPerStep(session.units.secondsPerStep);
    // Measured data that cannot be shown again is told, and the rest of the
    // session stays open. Before the zoom, which its points would not move.
    if (session.measured)
        RunCommand([&] { lab_->Restore(*session.measured); });
    else
        lab_->Close();
    if (session.zoom)
        view.MoveTo(*session.zoom, HistoryStep::New);
    else
        view.ResetZoom();
}

bool TForm1::SaveSessionWithDialog()
{
    bool saved = false;
    RunCommand([&] {
        QString path =
            QFileDialog::getSaveFileName(this, tr("Сохранить сеанс"), sessionFolder_, SessionFilters(), nullptr,
                                         FileDialogOptions());
        if (path.isEmpty())
            return;
        sessionFolder_ = QFileInfo(path).absolutePath();
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".toml");
        WriteSession(path.toStdString());
        saved = true;
    });
    return saved;
}

void TForm1::OpenDropped(const std::string& path)
{
    // Measured data goes over the runs and replaces nothing the user made.
    if (LabBench::IsMeasuredFile(QString::fromStdString(path)))
        return lab_->Open(path);
    const bool session = IsSessionText(ReadBoundedFile(path));
    if (MayDiscard(session ? AtStake::ExperimentAndPins : AtStake::Experiment))
        OpenFile(path);
}

void TForm1::OpenSessionWithDialog()
{
    RunCommand([this] {
        // A session replaces the experiment and the pins alike.
        if (!MayDiscard(AtStake::ExperimentAndPins))
            return;
        const QString path =
            QFileDialog::getOpenFileName(this, tr("Открыть сеанс"), sessionFolder_, SessionFilters(), nullptr,
                                         FileDialogOptions());
        if (path.isEmpty())
            return;
        sessionFolder_ = QFileInfo(path).absolutePath();
        OpenSession(path.toStdString());
    });
}
