#include "ui/Unit1.h"

#include "chart/ChartMenu.h"
#include "chart/ChartPins.h"
#include "chart/TraceChart.h"
#include "experiments/Experiments.h"
#include "experiments/Family.h"
#include "experiments/SettingsTable.h"
#include "toolkit/Exception.h"
#include "ui/Application.h"
#include "ui/ErrorTexts.h"
#include "ui/FamilyWindow.h"
#include "ui/FormAnchors.h"
#include "ui/FormGeometry.h"
#include "ui/MeasurementsWindow.h"
#include "ui/MechanicalWindow.h"
#include "ui/ToolWindows.h"
#include "ui/ParametersWindow.h"
#include "ui/Unit2.h"
#include "ui_Unit1.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>

#include <string_view>
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

const QString kCaption = QStringLiteral("модель асинхронного двигателя");

// Whether a setting shapes a run of this kind. The step response's load is
// named on its own.
bool Shapes(std::string_view name, RunKind kind)
{
    return SettingShapes(name, kind);
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TForm1>())
{
    // The icon lives in this static library; nothing else would pull it in.
    Q_INIT_RESOURCE(motormodel);
    ui_->setupUi(this);
    KeepStoredOuterGeometry(*this, StoredSize::Minimum);
    for (QLabel* label : {ui_->Label3, ui_->StaticText1, ui_->StaticText2, ui_->StaticText3})
        label->adjustSize();
    AnchorControls();
    for (int n = 1; n <= kTraceCount; ++n)
        ui_->Chart1->AddTrace(Series(n), SeriesHeading(n));
    chartTools_ = AttachTools(*ui_->Chart1, RunCommand);
    const RunDefinition& step = RunOf(RunKind::Step);
    measurements_ = new MeasurementsWindow(*ui_->Chart1, *chartTools_.cursors, *chartTools_.pins, Series(step.mdSeries),
                                           Series(step.omegaSeries), stepSchedule_, stepRunDt_, this);
    mechanical_ = new MechanicalWindow(*ui_->Chart1, settings_, stepLoad_, this);
    parameters_ = new ParametersWindow(this);
    family_ = new FamilyWindow(this);
    connect(family_, &FamilyWindow::Requested, this, [this] { RunCommand([this] { PinFamily(family_->Request()); }); });
    connect(parameters_, &ParametersWindow::SettingsChanged, this, &TForm1::TakeSettings);
    connect(parameters_, &ParametersWindow::Opened, this, [this](const Settings& opened) {
        if (opened.step.load)
            ui_->Edit1->setText(QString::number(*opened.step.load));
    });
    AddChartCommands();
    BindToolBar();

    BindCommand(*ui_->Button1, &TForm1::Button1Click);
    BindCommand(*ui_->Button2, &TForm1::Button2Click);
    BindCommand(*ui_->Button3, &TForm1::Button3Click);
    BindCommand(*ui_->Button4, &TForm1::Button4Click);
    BindCommand(*ui_->Button5, &TForm1::Button5Click);

    SeedUniformSource();
    setWindowTitle(kCaption);
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
    QAction* measurements = menu.addAction(QStringLiteral("Измерения"), this, [this] { ShowBeside(*measurements_); });
    // The key works while the chart has the focus, as its zoom keys do.
    measurements->setShortcut(Qt::Key_M);
    measurements->setShortcutContext(Qt::WidgetShortcut);
    ui_->Chart1->addAction(measurements);
    QAction* mechanical =
        menu.addAction(QStringLiteral("Механическая характеристика"), this, [this] { ShowBeside(*mechanical_); });
    mechanical->setShortcut(Qt::Key_X);
    mechanical->setShortcutContext(Qt::WidgetShortcut);
    ui_->Chart1->addAction(mechanical);
    menu.addAction(QStringLiteral("Закрепить графики"), this, [this] { RunCommand([this] { PinTraces(); }); });
    menu.addAction(QStringLiteral("Параметры опыта…"), this, [this] { ShowBeside(*parameters_); });
    menu.addAction(QStringLiteral("Семейство кривых…"), this, [this] { ShowBeside(*family_); });
}

void TForm1::BindToolBar()
{
    connect(ui_->ActionParameters, &QAction::triggered, this, [this] { ShowBeside(*parameters_); });
    connect(ui_->ActionOpen, &QAction::triggered, parameters_, &ParametersWindow::OpenWithDialog);
    connect(ui_->ActionSave, &QAction::triggered, parameters_, &ParametersWindow::SaveWithDialog);
    connect(ui_->ActionMeasurements, &QAction::triggered, this, [this] { ShowBeside(*measurements_); });
    connect(ui_->ActionMechanical, &QAction::triggered, this, [this] { ShowBeside(*mechanical_); });
    connect(ui_->ActionFamily, &QAction::triggered, this, [this] { ShowBeside(*family_); });
}

void TForm1::ShowBeside(QWidget& toolWindow)
{
    RunCommand([this, &toolWindow] { ShowToolWindow(toolWindow, *this); });
}

void TForm1::OpenExperiment(const std::string& path)
{
    parameters_->Open(path);
}

void TForm1::PinFamily(const FamilyRequest& request)
{
    const std::vector<std::string> values = ParseFamilyValues(request.values);
    constexpr std::size_t kMostValues = ChartPins::kMostKept / 2;
    if (values.size() > kMostValues)
        throw toolkit::Exception("Семейство не построено: на графике закрепляется не больше " +
                            std::to_string(kMostValues) + " значений, по два графика на каждое, а задано " +
                            std::to_string(values.size()));
    const ChartUpdateOnExit update(*ui_->Chart1);
    const RunDefinition& run = RunOf(request.kind);
    std::string leftOut;
    RunFamily(settings_, request.setting, values, request.kind, LoadText(), [&](const FamilyMember& member) {
        const std::string label = FamilyMemberLabel(member.place.setting, member.place.value);
        if (member.outcome != MemberOutcome::Ran) {
            // A refused load is told in the alert's words, once for all.
            leftOut += "\n" + label + ": " + (member.outcome == MemberOutcome::Refused ? RefusedLoadText(member.settings.run.limit)
                                                                                 : ErrorText(*member.error).toStdString());
            return;
        }
        for (int series : {run.mdSeries, run.omegaSeries})
            chartTools_.pins->Pin(member.host.Series(series), label,
                                  OriginOf(request.kind, member.settings, member.place));
    });
    if (!leftOut.empty())
        throw toolkit::Exception("Эти значения не построены:" + leftOut);
}

void TForm1::TakeSettings()
{
    settings_ = parameters_->InForce();
    mechanical_->Update();
    const QString file = parameters_->FileName();
    if (!file.isEmpty())
        setWindowTitle(kCaption + QStringLiteral(" — ") + file);
    else if (settings_ != Settings{})
        setWindowTitle(kCaption + QStringLiteral(" (параметры изменены)"));
    else
        setWindowTitle(kCaption);
}

void TForm1::StartRun(RunKind kind)
{
    ranWith_[static_cast<std::size_t>(kind)] = settings_;
    ui_->Chart1->View().SetSecondsPerStep(settings_.model.dt);
}

void TForm1::PinTraces()
{
    for (int n = 1; n <= kTraceCount; ++n)
        if (!Series(n).Points().empty())
            chartTools_.pins->Pin(Series(n), RunName(n), OriginOf(RunFilling(n).kind, RanWith(n)));
}

const Settings& TForm1::RanWith(int series) const
{
    return ranWith_[static_cast<std::size_t>(RunFilling(series).kind)];
}

std::string TForm1::RunName(int series) const
{
    const RunDefinition& run = RunFilling(series);
    // With the default settings, step responses differ by their load alone.
    std::string name = run.kind == RunKind::Step && stepLoad_ ? "Mc=" + std::to_string(*stepLoad_)
                                                              : std::string(run.name);
    const Settings& ran = RanWith(series);
    const Settings defaults;
    for (std::string_view setting : SettingNames()) {
        const std::optional<SettingValue> value = GetSetting(ran, setting);
        if (Shapes(setting, run.kind) && value != GetSetting(defaults, setting))
            name += ", " + std::string(setting.substr(setting.find('.') + 1)) + "=" + FieldText(value);
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

Trace& TForm1::Series(int n)
{
    return SeriesNumbered(series_, n);
}

void TForm1::SetMdMaxText(const std::string& text)
{
    SetAutoSizedText(*ui_->Label1, text);
}

void TForm1::SetOmegaMaxText(const std::string& text)
{
    SetAutoSizedText(*ui_->Label2, text);
}

void TForm1::ShowAlert()
{
    if (!Form2)
        return;
    Form2->SetLimit(settings_.run.limit);
    Form2->Show();
}

void TForm1::Button1Click()
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    StartRun(RunKind::Gauss);
    RunGaussianLoad(model_, *this);
}

void TForm1::Button2Click()
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    for (Trace& trace : series_)
        trace.Clear();
    chartTools_.pins->Clear();
}

void TForm1::Button3Click()
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    StartRun(RunKind::Uniform);
    RunUniformLoad(model_, *this);
}

void TForm1::Button4Click()
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    stepLoad_.reset();
    StartRun(RunKind::Step);
    stepSchedule_ = StepLoadSchedule(settings_);
    stepRunDt_ = settings_.model.dt;
    stepLoad_ = RunStepResponse(model_, *this);
}

void TForm1::Button5Click()
{
    close();
}
