#include "ui/ParametersWindow.h"

#include "experiments/ExperimentFile.h"
#include "experiments/SettingsTable.h"
#include "ui/Application.h"
#include "ui/ErrorTexts.h"
#include "ui/FormGeometry.h"
#include "ui_ParametersWindow.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

const QString kFileFilters = QStringLiteral("Опыты (*.toml);;Все файлы (*)");

// The form names a setting's widgets after it, with '_' for the dot, which
// uic's member names cannot hold: model_J, model_J_reason.
QString WidgetName(std::string_view name, const char* suffix = "")
{
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).replace('.', '_') +
           QString::fromLatin1(suffix);
}

// Sets a property the window's style sheet looks at, and restyles.
void SetMark(QWidget& widget, const char* mark, bool on)
{
    if (widget.property(mark).toBool() == on)
        return;
    widget.setProperty(mark, on);
    widget.style()->unpolish(&widget);
    widget.style()->polish(&widget);
}

// A group of settings, the experiment file's table, and where its box
// stands: the first column or the second.
struct GroupText {
    std::string_view group;
    QString title;
    int column;
};

const std::array<GroupText, 5> kGroups{{
    {"model", QStringLiteral("Модель двигателя"), 0},
    {"run", QStringLiteral("Опыт"), 0},
    {"gauss", QStringLiteral("Гауссовская нагрузка"), 0},
    {"uniform", QStringLiteral("Равномерная нагрузка"), 1},
    {"step", QStringLiteral("Ступенчатая нагрузка"), 1},
}};

// A setting's row: what it is, what its field shows while empty and the
// hint it gives.
struct RowText {
    std::string_view name;
    QString what;
    QString unset = {};
    QString hint = {};
};

const std::array<RowText, 22> kRows{{
    {"model.J", QStringLiteral("Момент инерции")},
    {"model.Mk", QStringLiteral("Постоянная момента в уравнении K"), {},
     QStringLiteral("Не критический момент: у статической характеристики модели нет точки опрокидывания")},
    {"model.sk", QStringLiteral("Множитель постоянной времени"), {},
     QStringLiteral("Постоянная времени модели T = sk / w0")},
    {"model.p", QStringLiteral("Число пар полюсов"), {}, QStringLiteral("Целое число не меньше 1")},
    {"model.dt", QStringLiteral("Шаг интегрирования"), {},
     QStringLiteral("Больше min(2 T, J / (2 p Mk T)) опыт не придёт к покою")},
    {"model.w0", QStringLiteral("Угловая частота питания"), {},
     QStringLiteral("Без нагрузки ротор приходит к скорости w0 / p")},
    {"run.steps", QStringLiteral("Число шагов")},
    {"run.limit", QStringLiteral("Предел нагрузки")},
    {"run.seed", QStringLiteral("Начальное число"), QStringLiteral("от часов")},
    {"gauss.mean", QStringLiteral("Среднее")},
    {"gauss.sd", QStringLiteral("Стандартное отклонение")},
    {"uniform.low", QStringLiteral("Нижняя граница")},
    {"uniform.high", QStringLiteral("Верхняя граница")},
    {"uniform.levels", QStringLiteral("Число уровней")},
    {"step.load", QStringLiteral("Нагрузка"), QStringLiteral("из поля Mc")},
    {"step.profile", QStringLiteral("Профиль")},
    {"step.on", QStringLiteral("Включение")},
    {"step.off", QStringLiteral("Выключение"), QStringLiteral("min(1000, steps)")},
    {"step.ramp", QStringLiteral("Нарастание")},
    {"step.k", QStringLiteral("Коэффициент вентилятора")},
    {"step.amplitude", QStringLiteral("Амплитуда")},
    {"step.period", QStringLiteral("Период")},
}};

QString UnitText(Unit unit)
{
    switch (unit) {
    case Unit::None:
        break;
    case Unit::KilogramSquareMetre:
        return QStringLiteral("кг·м²");
    case Unit::NewtonMetre:
        return QStringLiteral("Н·м");
    case Unit::NewtonMetreSecondSquared:
        return QStringLiteral("Н·м·с²");
    case Unit::RadianPerSecond:
        return QStringLiteral("рад/с");
    case Unit::Second:
        return QStringLiteral("с");
    case Unit::Step:
        return QStringLiteral("шаг");
    case Unit::Steps:
        return QStringLiteral("шагов");
    }
    return {};
}

QString Latin(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

const RowText& RowOf(std::string_view name)
{
    return *std::find_if(kRows.begin(), kRows.end(), [&](const RowText& row) { return row.name == name; });
}

// "Момент инерции J, кг·м²": what the setting is, its key as files write
// it, and its unit.
QString LabelText(const SettingSpec& spec)
{
    const QString unit = UnitText(spec.unit);
    return RowOf(spec.name).what + QLatin1Char(' ') + Latin(spec.Key()) +
           (unit.isEmpty() ? QString() : QStringLiteral(", ") + unit);
}

// What a report shows of a value: its field's text, or what an unset one
// means.
QString ShownValue(const SettingSpec& spec, const std::optional<SettingValue>& value)
{
    return value ? QString::fromStdString(FieldText(value)) : RowOf(spec.name).unset;
}

} // namespace

ReportTable SettingsReportTable(const Settings& settings)
{
    ReportTable table{QStringLiteral("Параметры опыта"),
                      {QStringLiteral("Параметр"), QStringLiteral("Значение"), QStringLiteral("По умолчанию"),
                       QStringLiteral("Изменён")},
                      {}};
    for (const SettingInForce& setting : SettingsInForce(settings))
        table.rows << QStringList{LabelText(*setting.spec), ShownValue(*setting.spec, setting.value),
                                  ShownValue(*setting.spec, setting.spec->defaultValue),
                                  setting.changed ? QStringLiteral("да") : QString()};
    return table;
}

std::string FieldText(const std::optional<SettingValue>& value)
{
    if (!value)
        return {};
    if (const auto* text = std::get_if<std::string>(&*value))
        return *text;
    return ValueText(*value);
}

ParametersWindow::ParametersWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::ParametersWindow>())
{
    ui_->setupUi(this);
    AddRows();
    KeepStoredOuterGeometry(*this);
    connect(ui_->DefaultsButton, &QPushButton::clicked, this, [this] { ShowSettings(Settings{}); });
    connect(ui_->OpenButton, &QPushButton::clicked, this, &ParametersWindow::OpenWithDialog);
    connect(ui_->SaveButton, &QPushButton::clicked, this, &ParametersWindow::SaveWithDialog);
    ShowSettings(inForce_);
}

ParametersWindow::~ParametersWindow() = default;

void ParametersWindow::AddRows()
{
    QVBoxLayout* columns[] = {ui_->Column1Layout, ui_->Column2Layout};
    QWidget* previous = nullptr;
    for (const GroupText& group : kGroups) {
        auto* box = new QGroupBox(group.title + QStringLiteral(" [") + Latin(group.group) + QLatin1Char(']'), this);
        box->setObjectName(Latin(group.group) + QStringLiteral("_box"));
        auto* grid = new QGridLayout(box);
        grid->setObjectName(Latin(group.group) + QStringLiteral("_layout"));
        grid->setColumnStretch(2, 1);
        // Above the column's spacer, which keeps the boxes at the top.
        QVBoxLayout& column = *columns[group.column];
        column.insertWidget(column.count() - 1, box);
        int row = 0;
        for (const SettingSpec& spec : SettingsTable()) {
            if (spec.Group() != group.group)
                continue;
            QWidget* field = AddField(spec, *box);
            auto* label = new QLabel(LabelText(spec), box);
            label->setObjectName(WidgetName(spec.name, "_label"));
            label->setBuddy(field);
            auto* reason = new QLabel(box);
            reason->setObjectName(WidgetName(spec.name, "_reason"));
            reason->setWordWrap(true);
            grid->addWidget(label, row, 0);
            grid->addWidget(field, row, 1);
            grid->addWidget(reason, row, 2);
            if (previous)
                setTabOrder(previous, field);
            previous = field;
            ++row;
        }
    }
    // The form's buttons come after the fields, as they stand. The fields,
    // made last, follow them in the focus chain, and setTabOrder does
    // nothing to a button that already follows the last field round the
    // chain: moved in among the fields first, it moves to the end.
    QWidget* first = &Field(SettingNames().front());
    for (QWidget* button : {ui_->DefaultsButton, ui_->OpenButton, ui_->SaveButton}) {
        setTabOrder(first, button);
        setTabOrder(previous, button);
        previous = button;
    }
}

QWidget* ParametersWindow::AddField(const SettingSpec& spec, QWidget& box)
{
    const RowText& row = RowOf(spec.name);
    QWidget* field = nullptr;
    // A choice of names is picked from them, so it cannot be mistyped.
    if (spec.type == SettingType::Choice) {
        auto* choice = new QComboBox(&box);
        for (const std::string& name : spec.allowed.choices)
            choice->addItem(QString::fromStdString(name));
        connect(choice, &QComboBox::activated, this, &ParametersWindow::ReadFields);
        field = choice;
    } else {
        auto* line = new QLineEdit(&box);
        line->setPlaceholderText(row.unset);
        connect(line, &QLineEdit::textEdited, this, &ParametersWindow::ReadFields);
        field = line;
    }
    field->setObjectName(WidgetName(spec.name));
    field->setMinimumSize(140, 0);
    field->setToolTip(row.hint);
    return field;
}

QString ParametersWindow::FileName() const
{
    return !file_.isEmpty() && inForce_ == fileSettings_ ? QFileInfo(file_).fileName() : QString();
}

void ParametersWindow::ShowSettings(const Settings& settings)
{
    for (std::string_view name : SettingNames()) {
        const QString text = QString::fromStdString(FieldText(GetSetting(settings, name)));
        if (auto* choice = qobject_cast<QComboBox*>(&Field(name)))
            choice->setCurrentText(text);
        else
            qobject_cast<QLineEdit*>(&Field(name))->setText(text);
    }
    ReadFields();
}

void ParametersWindow::Open(const std::string& path)
{
    WrittenValues written;
    const Settings opened = ExperimentFile::Load(path, Settings{}, &written);
    try {
        CheckSettings(opened);
    } catch (const SettingsError& error) {
        Problem inFile = written.Placed(error).Cause();
        inFile.place.file = path;
        throw SettingsError(inFile);
    }
    file_ = QString::fromStdString(path);
    fileSettings_ = opened;
    ShowSettings(opened);
    emit SettingsChanged();
}

bool ParametersWindow::Save(const std::string& path)
{
    if (!refused_.empty())
        throw toolkit::Exception("Опыт не сохранён: поле " + refused_.begin()->first +
                            " не принято. " + refused_.begin()->second);
    const auto mayRewrite = [&] {
        return QMessageBox::question(this, QStringLiteral("Сохранить опыт"),
                                     QStringLiteral("Файл %1 нельзя изменить на месте: он задаёт значения так, что их "
                                                    "не заменить, не переписав его. Переписать файл целиком? "
                                                    "Комментарии и порядок строк в нём пропадут.")
                                         .arg(QFileInfo(QString::fromStdString(path)).fileName())) == QMessageBox::Yes;
    };
    if (!ExperimentFile::SaveKeeping(path, inForce_, mayRewrite))
        return false;
    file_ = QString::fromStdString(path);
    fileSettings_ = inForce_;
    emit SettingsChanged();
    return true;
}

bool ParametersWindow::Unsaved() const
{
    if (!file_.isEmpty())
        return inForce_ != fileSettings_;
    Settings loadAside = inForce_;
    loadAside.step.load.reset();
    return loadAside != Settings{};
}

void ParametersWindow::SetLoad(std::int64_t load)
{
    const QString text = QString::number(load);
    auto& field = *qobject_cast<QLineEdit*>(&Field("step.load"));
    if (field.text() == text)
        return;
    field.setText(text);
    ReadFields();
}

void ParametersWindow::OpenWithDialog()
{
    RunCommand([this] {
        if (Unsaved() && !mayReplace_())
            return;
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Открыть опыт"), folder_, kFileFilters);
        if (path.isEmpty())
            return;
        folder_ = QFileInfo(path).absolutePath();
        Open(path.toStdString());
    });
}

bool ParametersWindow::SaveToFile()
{
    if (file_.isEmpty())
        return SaveWithDialog();
    bool saved = false;
    RunCommand([&] { saved = Save(file_.toStdString()); });
    return saved;
}

bool ParametersWindow::SaveWithDialog()
{
    bool saved = false;
    RunCommand([&] {
        QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить опыт"), folder_, kFileFilters);
        if (path.isEmpty())
            return;
        folder_ = QFileInfo(path).absolutePath();
        // A name typed without a suffix is an experiment file.
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".toml");
        saved = Save(path.toStdString());
    });
    return saved;
}

void ParametersWindow::ReadFields()
{
    const Settings defaults;
    Settings read = defaults;
    refused_.clear();
    std::vector<std::string> unread;
    for (std::string_view name : SettingNames()) {
        const std::string text = TextOf(name).trimmed().toStdString();
        // An optional setting left empty is unset, as a file that leaves it out.
        if (text.empty() && !GetSetting(defaults, name))
            continue;
        try {
            SetSettingText(read, name, text);
        } catch (const SettingsError& error) {
            refused_.emplace(name, ErrorText(error.Cause()).toStdString());
            unread.emplace_back(name);
        }
    }
    // Every field is judged, whatever the others hold; a rule between
    // settings marks each field it names, and the fields whose text could not
    // be read are not judged against.
    for (const Problem& problem : SettingsProblems(read, unread)) {
        const std::string reason = ErrorText(problem).toStdString();
        for (const std::string& name : SettingsNamed(problem))
            refused_.emplace(name, reason);
    }
    // The step's limit needs every setting of the model.
    const bool modelRead = std::none_of(refused_.begin(), refused_.end(),
                                        [](const auto& refused) { return refused.first.starts_with("model."); });
    warned_.clear();
    if (const std::optional<Problem> warning = modelRead ? UnstableStep(read) : std::nullopt)
        warned_.emplace(warning->setting, ErrorText(*warning));
    for (std::string_view name : SettingNames())
        Mark(name, read, defaults);
    ui_->StatusLabel->setText(refused_.empty()
                                  ? QString()
                                  : QStringLiteral("Отмеченные поля не приняты: опыты идут с прежними параметрами."));
    if (refused_.empty() && read != inForce_) {
        inForce_ = read;
        emit SettingsChanged();
    }
}

void ParametersWindow::Mark(std::string_view name, const Settings& read, const Settings& defaults)
{
    const auto refused = refused_.find(name);
    const bool isRefused = refused != refused_.end();
    const auto warned = warned_.find(name);
    const bool isWarned = !isRefused && warned != warned_.end();
    QLabel& reason = Reason(name);
    reason.setText(isRefused ? QString::fromStdString(refused->second) : isWarned ? warned->second : QString());
    SetMark(reason, "refused", isRefused);
    SetMark(reason, "warned", isWarned);
    SetMark(Field(name), "refused", isRefused);
    SetMark(Field(name), "warned", isWarned);
    SetMark(Field(name), "changed", !isRefused && GetSetting(read, name) != GetSetting(defaults, name));
}

QWidget& ParametersWindow::Field(std::string_view name) const
{
    return *findChild<QWidget*>(WidgetName(name));
}

QString ParametersWindow::TextOf(std::string_view name) const
{
    if (const auto* choice = qobject_cast<const QComboBox*>(&Field(name)))
        return choice->currentText();
    return qobject_cast<const QLineEdit*>(&Field(name))->text();
}

QLabel& ParametersWindow::Reason(std::string_view name) const
{
    return *findChild<QLabel*>(WidgetName(name, "_reason"));
}
