#include "ui/ParametersWindow.h"

#include "experiments/ExperimentFile.h"
#include "ui/Application.h"
#include "ui/FormGeometry.h"
#include "ui_ParametersWindow.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

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

// The setting a whole-check message is about: it begins with the name.
std::string_view NameOfMessage(std::string_view message)
{
    for (std::string_view name : SettingNames())
        if (message.starts_with(name) && message.substr(name.size()).starts_with(' '))
            return name;
    return {};
}

} // namespace

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
    KeepStoredOuterGeometry(*this);
    for (std::string_view name : SettingNames())
        connect(&Field(name), &QLineEdit::textEdited, this, &ParametersWindow::ReadFields);
    connect(ui_->DefaultsButton, &QPushButton::clicked, this, [this] { ShowSettings(Settings{}); });
    connect(ui_->OpenButton, &QPushButton::clicked, this, &ParametersWindow::OpenWithDialog);
    connect(ui_->SaveButton, &QPushButton::clicked, this, &ParametersWindow::SaveWithDialog);
    ShowSettings(inForce_);
}

ParametersWindow::~ParametersWindow() = default;

QString ParametersWindow::FileName() const
{
    return !file_.isEmpty() && inForce_ == fileSettings_ ? QFileInfo(file_).fileName() : QString();
}

void ParametersWindow::ShowSettings(const Settings& settings)
{
    for (std::string_view name : SettingNames())
        Field(name).setText(QString::fromStdString(FieldText(GetSetting(settings, name))));
    ReadFields();
}

void ParametersWindow::Open(const std::string& path)
{
    const Settings opened = ExperimentFile::Load(path, Settings{});
    try {
        CheckSettings(opened);
    } catch (const SettingsError& error) {
        throw SettingsError(toolkit::Same(path + ": ") + error.Text());
    }
    file_ = QString::fromStdString(path);
    fileSettings_ = opened;
    ShowSettings(opened);
    emit SettingsChanged();
    emit Opened(opened);
}

void ParametersWindow::Save(const std::string& path)
{
    if (!refused_.empty())
        throw SettingsError("Опыт не сохранён: поле " + refused_.begin()->first +
                            " не принято. " + refused_.begin()->second);
    ExperimentFile::Save(path, inForce_);
    file_ = QString::fromStdString(path);
    fileSettings_ = inForce_;
    emit SettingsChanged();
}

void ParametersWindow::OpenWithDialog()
{
    RunCommand([this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Открыть опыт"), folder_, kFileFilters);
        if (path.isEmpty())
            return;
        folder_ = QFileInfo(path).absolutePath();
        Open(path.toStdString());
    });
}

void ParametersWindow::SaveWithDialog()
{
    RunCommand([this] {
        QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить опыт"), folder_, kFileFilters);
        if (path.isEmpty())
            return;
        folder_ = QFileInfo(path).absolutePath();
        // A name typed without a suffix is an experiment file.
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".toml");
        Save(path.toStdString());
    });
}

void ParametersWindow::ReadFields()
{
    const Settings defaults;
    Settings read = defaults;
    refused_.clear();
    for (std::string_view name : SettingNames()) {
        const std::string text = Field(name).text().trimmed().toStdString();
        // An optional setting left empty is unset, as a file that leaves it out.
        if (text.empty() && !GetSetting(defaults, name))
            continue;
        try {
            SetSettingText(read, name, text);
        } catch (const SettingsError& error) {
            refused_.emplace(name, error.WindowText());
        }
    }
    // The rules between settings are checked once each field holds a value.
    if (refused_.empty()) {
        try {
            CheckSettings(read);
        } catch (const SettingsError& error) {
            refused_.emplace(NameOfMessage(error.what()), error.WindowText());
        }
    }
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
    QLabel& reason = Reason(name);
    reason.setText(isRefused ? QString::fromStdString(refused->second) : QString());
    SetMark(reason, "refused", isRefused);
    SetMark(Field(name), "refused", isRefused);
    SetMark(Field(name), "changed", !isRefused && GetSetting(read, name) != GetSetting(defaults, name));
}

QLineEdit& ParametersWindow::Field(std::string_view name) const
{
    return *findChild<QLineEdit*>(WidgetName(name));
}

QLabel& ParametersWindow::Reason(std::string_view name) const
{
    return *findChild<QLabel*>(WidgetName(name, "_reason"));
}
