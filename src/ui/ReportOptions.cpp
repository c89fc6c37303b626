#include "ui/ReportOptions.h"

#include "ui_ReportOptions.h"

ReportOptions::ReportOptions(const SessionReport& given, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ReportOptions>())
{
    ui_->setupUi(this);
    ui_->Notes->setPlainText(QString::fromStdString(given.notes));
    ui_->Portrait->setChecked(given.portrait);
}

ReportOptions::~ReportOptions() = default;

SessionReport ReportOptions::Chosen() const
{
    return {ui_->Notes->toPlainText().toStdString(), ui_->Portrait->isChecked()};
}
