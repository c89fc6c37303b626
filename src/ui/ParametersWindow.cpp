#include "ui/ParametersWindow.h"

#include "chart/FileDialogs.h"
#include "experiments/ExperimentFile.h"
#include "experiments/SettingsTable.h"
#include "ui/Application.h"
#include "ui/ErrorTexts.h"
#include "ui/FormGeometry.h"
#include "ui/NameplateDialog.h"
#include "ui/SettingTexts.h"
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

namespace {

QString FileFilters()
{
    return ParametersWindow::tr("Опыты (*.toml);;Все файлы (*)");
}

// The form names a setting's widgets after it, with '_' for the dot, which
// uic's member names cannot hold: model_J, model_J_reason.
QString WidgetName(std::string_view name, const char* suffix = "")
{
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).replace('.', '_') +
           QString::fromLatin1(suffix);
}

// A value longer than its field, 314.15000000000003 in a narrow font,
// shows its first digits rather than its last.
void ShowFromItsStart(QLineEdit& field, const QString& text)
{
    field.setText(text);
    field.setCursorPosition(0);
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

} // namespace

ParametersWindow::ParametersWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::ParametersWindow>())
{
    ui_->setupUi(this);
    // The line the status takes is kept while it says nothing: appearing, it
    // would shorten the fields' area and move them.
    ui_->StatusLabel->setMinimumHeight(ui_->StatusLabel->fontMetrics().height());
    AddRows();
    ShowTexts();
    KeepStoredOuterGeometry(*this);
    connect(ui_->DefaultsButton, &QPushButton::clicked, this, [this] { ShowSettings(Settings{}); });
    connect(ui_->NameplateButton, &QPushButton::clicked, this, [this] {
        auto* nameplate = new NameplateDialog(*this);
        nameplate->setAttribute(Qt::WA_DeleteOnClose);
        nameplate->show();
    });
    connect(ui_->OpenButton, &QPushButton::clicked, this, &ParametersWindow::OpenWithDialog);
    connect(ui_->SaveButton, &QPushButton::clicked, this, &ParametersWindow::SaveWithDialog);
    ShowSettings(inForce_);
}

ParametersWindow::~ParametersWindow() = default;

void ParametersWindow::AddRows()
{
    QVBoxLayout* columns[] = {ui_->Column1Layout, ui_->Column2Layout};
    QWidget* previous = nullptr;
    for (const SettingGroupText& group : SettingGroups()) {
        auto* box = new QGroupBox(this);
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
            auto* label = new QLabel(box);
            label->setObjectName(WidgetName(spec.name, "_label"));
            label->setBuddy(field);
            auto* reason = new QLabel(box);
            reason->setObjectName(WidgetName(spec.name, "_reason"));
            // A reason that appears takes the line its row has and asks for
            // no more room, so no other field moves; its tooltip holds it
            // whole where the line is too short.
            reason->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
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
    for (QWidget* button : {ui_->DefaultsButton, ui_->NameplateButton, ui_->OpenButton, ui_->SaveButton}) {
        setTabOrder(first, button);
        setTabOrder(previous, button);
        previous = button;
    }
}

void ParametersWindow::ShowTexts()
{
    for (const SettingGroupText& group : SettingGroups())
        findChild<QGroupBox*>(Latin(group.group) + QStringLiteral("_box"))
            ->setTitle(SettingText(group.title) + QStringLiteral(" [") + Latin(group.group) + QLatin1Char(']'));
    for (const SettingSpec& spec : SettingsTable()) {
        const SettingRowText& row = SettingRow(spec.name);
        findChild<QLabel*>(WidgetName(spec.name, "_label"))->setText(SettingLabel(spec));
        QWidget& field = Field(spec.name);
        if (auto* line = qobject_cast<QLineEdit*>(&field))
            line->setPlaceholderText(SettingText(row.unset));
        field.setToolTip(SettingText(row.hint));
    }
}

void ParametersWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui_->retranslateUi(this);
        ShowTexts();
        // The reasons beside refused fields are told again.
        ReadFields();
    }
    QWidget::changeEvent(event);
}

QWidget* ParametersWindow::AddField(const SettingSpec& spec, QWidget& box)
{
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
        connect(line, &QLineEdit::textEdited, this, &ParametersWindow::ReadFields);
        field = line;
    }
    field->setObjectName(WidgetName(spec.name));
    field->setMinimumSize(140, 0);
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
        // A choice left unset, the model's kind, shows the first: its default.
        if (auto* choice = qobject_cast<QComboBox*>(&Field(name)))
            choice->setCurrentIndex(std::max(0, choice->findText(text)));
        else
            ShowFromItsStart(*qobject_cast<QLineEdit*>(&Field(name)), text);
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
        throw toolkit::Exception(tr("Опыт не сохранён: поле %1 не принято. %2")
                                     .arg(QString::fromStdString(refused_.begin()->first),
                                          QString::fromStdString(refused_.begin()->second))
                                     .toStdString());
    const auto mayRewrite = [&] {
        return QMessageBox::question(this, tr("Сохранить опыт"),
                                     tr("Файл %1 нельзя изменить на месте: он задаёт значения так, что их "
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

void ParametersWindow::ShowKept(const Settings& settings)
{
    file_.clear();
    fileSettings_ = settings;
    ShowSettings(settings);
    emit SettingsChanged();
}

bool ParametersWindow::Unsaved() const
{
    if (!file_.isEmpty())
        return inForce_ != fileSettings_;
    auto loadAside = [](Settings settings) {
        settings.step.load.reset();
        return settings;
    };
    return loadAside(inForce_) != loadAside(fileSettings_);
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

void ParametersWindow::OpenChosen(const std::function<QString()>& choose)
{
    RunCommand([&] {
        if (Unsaved() && !mayReplace_())
            return;
        const QString path = choose();
        if (!path.isEmpty())
            Open(path.toStdString());
    });
}

void ParametersWindow::OpenWithDialog()
{
    OpenChosen([this] {
        const QString path = QFileDialog::getOpenFileName(DialogParent(*this), tr("Открыть опыт"), folder_,
                                                          FileFilters(), nullptr, FileDialogOptions());
        if (!path.isEmpty())
            folder_ = QFileInfo(path).absolutePath();
        return path;
    });
}

void ParametersWindow::OpenAsked(const QString& path)
{
    OpenChosen([&path] { return path; });
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
        // A name typed without a suffix is an experiment file.
        const QString path =
            AskSavePath(DialogParent(*this), tr("Сохранить опыт"), folder_, FileFilters(), QStringLiteral("toml"));
        saved = !path.isEmpty() && Save(path.toStdString());
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
        // The other model's fields are hidden and keep what they hold for
        // when it is chosen again; model.kind, read first, has chosen.
        if (!SettingOfKind(name, read.Kind()))
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
    for (std::string_view name : SettingNames()) {
        Mark(name, read, defaults);
        const bool shown = SettingOfKind(name, read.Kind());
        for (QWidget* widget : {&Field(name), static_cast<QWidget*>(&Reason(name)),
                                static_cast<QWidget*>(findChild<QLabel*>(WidgetName(name, "_label")))})
            widget->setVisible(shown);
    }
    // A group of the other model's settings alone goes with them.
    for (const SettingGroupText& group : SettingGroups()) {
        const bool any = std::ranges::any_of(SettingsTable(), [&](const SettingSpec& spec) {
            return spec.Group() == group.group && SettingOfKind(spec.name, read.Kind());
        });
        findChild<QGroupBox*>(Latin(group.group) + QStringLiteral("_box"))->setVisible(any);
    }
    ui_->StatusLabel->setText(refused_.empty()
                                  ? QString()
                                  : tr("Отмеченные поля не приняты: опыты идут с прежними параметрами."));
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
    reason.setToolTip(reason.text());
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
