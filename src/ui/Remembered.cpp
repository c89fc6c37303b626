#include "ui/Remembered.h"

#include "chart/ChartViewState.h"
#include "ui/ToolWindows.h"

#include <QSettings>
#include <QWidget>

namespace {

const QString kSeconds = QStringLiteral("view/seconds");
const QString kTitles = QStringLiteral("view/titles");
const QString kReport = QStringLiteral("view/report");
const QString kLanguage = QStringLiteral("language");

QString PlaceKey(const QWidget& tool)
{
    return QStringLiteral("places/") + tool.objectName();
}

QSettings UserSettings()
{
    return QSettings(QStringLiteral("motormodel"), QStringLiteral("motormodel"));
}

} // namespace

void RestoreRemembered(ChartViewState& view, std::span<QWidget* const> tools)
{
    const QSettings kept = UserSettings();
    if (kept.value(kSeconds).toBool())
        view.SetTimeInSeconds(true);
    if (kept.value(kTitles).toBool())
        view.SetAxisTitles(true);
    if (kept.value(kReport).toBool())
        view.SetReportStyle(true);
    for (QWidget* tool : tools)
        if (const QVariant place = kept.value(PlaceKey(*tool)); place.canConvert<QPoint>())
            RestorePlace(*tool, place.toPoint());
}

void Remember(const ChartViewState& view, std::span<QWidget* const> tools)
{
    QSettings kept = UserSettings();
    kept.setValue(kSeconds, view.Units().seconds);
    kept.setValue(kTitles, view.Units().titles);
    kept.setValue(kReport, view.Units().report);
    for (const QWidget* tool : tools)
        if (const std::optional<QPoint> place = PlaceOf(*tool))
            kept.setValue(PlaceKey(*tool), *place);
}

std::optional<Language> RememberedLanguage()
{
    return LanguageOfCode(UserSettings().value(kLanguage).toString());
}

void RememberLanguage(Language language)
{
    UserSettings().setValue(kLanguage, LanguageCode(language));
}
