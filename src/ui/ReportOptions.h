#pragma once

#include "session/Session.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ReportOptions;
}

// Asks, before a report is written, for its notes and whether its pages
// stand upright, showing those given last.
class ReportOptions : public QDialog {
    Q_OBJECT

public:
    ReportOptions(const SessionReport& given, QWidget* parent);
    ~ReportOptions() override;

    SessionReport Chosen() const;

private:
    std::unique_ptr<Ui::ReportOptions> ui_;
};
