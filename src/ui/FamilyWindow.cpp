#include "ui/FamilyWindow.h"

#include "experiments/Settings.h"
#include "ui/FormGeometry.h"
#include "ui_FamilyWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace {

// The runs in the order the form lists them.
constexpr std::array kRunChoices{RunKind::Step, RunKind::Gauss, RunKind::Uniform};

constexpr std::string_view kLoad = "step.load";

} // namespace

FamilyWindow::FamilyWindow(QWidget* parent) : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::FamilyWindow>())
{
    ui_->setupUi(this);
    KeepStoredOuterGeometry(*this);
    // The load first: comparing loads is what a family is most often for.
    ui_->SettingBox->addItem(QString::fromUtf8(kLoad.data(), static_cast<qsizetype>(kLoad.size())));
    for (std::string_view name : SettingNames())
        if (name != kLoad)
            ui_->SettingBox->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    connect(ui_->BuildButton, &QPushButton::clicked, this, &FamilyWindow::Requested);
    connect(ui_->ValuesEdit, &QLineEdit::returnPressed, this, &FamilyWindow::Requested);
}

FamilyWindow::~FamilyWindow() = default;

void FamilyWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ui_->retranslateUi(this);
    QWidget::changeEvent(event);
}

FamilyChoice FamilyWindow::Request() const
{
    return {ui_->SettingBox->currentText().toStdString(), ui_->ValuesEdit->text().toStdString(),
            kRunChoices.at(static_cast<std::size_t>(ui_->RunBox->currentIndex()))};
}

void FamilyWindow::SetRequest(const FamilyChoice& request)
{
    ui_->SettingBox->setCurrentText(QString::fromStdString(request.setting));
    ui_->ValuesEdit->setText(QString::fromStdString(request.values));
    const auto run = std::find(kRunChoices.begin(), kRunChoices.end(), request.kind);
    ui_->RunBox->setCurrentIndex(static_cast<int>(std::distance(kRunChoices.begin(), run)));
}
