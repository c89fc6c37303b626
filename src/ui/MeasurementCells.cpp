#include "ui/MeasurementCells.h"

#include "toolkit/Conversions.h"
#include "ui/MeasurementsWindow.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace {

using analysis::Figure;

// The digits a cell shows; its tooltip and a copy give the exact value.
constexpr int kShownDigits = 6;

QString Translated(const char* text)
{
    return MeasurementsWindow::tr(text);
}

// A figure's cell: a whole count as it is, "установилось" or "не
// установилось" for Settled; an undefined figure is an empty cell.
Cell CellOf(Figure figure, const std::optional<double>& value)
{
    if (!value)
        return {};
    switch (analysis::KindOf(figure)) {
    case analysis::FigureKind::Whole:
        return Name(QString::number(static_cast<std::int64_t>(*value)));
    case analysis::FigureKind::Flag:
        return Name(*value != 0 ? Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "установилось"))
                                : Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "не установилось")));
    case analysis::FigureKind::Number:
        break;
    }
    return Number(*value);
}

// A cell whose number is on its way; a copy gives nothing for it.
Cell Pending()
{
    return {QStringLiteral("…"), QString()};
}

// A figure under the name the window gives it.
struct NamedFigure {
    const char* name;
    Figure figure;
};

// The step characteristics in the order the window lists them, times in
// steps and in seconds.
const std::array<NamedFigure, 19> kCharacteristicRows{{
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Начальное значение"), Figure::Initial},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Конечное значение"), Figure::Final},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Значение в конце участка"), Figure::End},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Покой модели"), Figure::Rest},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Установление"), Figure::Settled},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Пик"), Figure::Peak},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Шаг пика"), Figure::PeakStep},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Время пика, с"), Figure::PeakSeconds},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Минимум"), Figure::Trough},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Шаг минимума"), Figure::TroughStep},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Время минимума, с"), Figure::TroughSeconds},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Нарастание 10–90 %, шагов"), Figure::RiseSteps},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Нарастание 10–90 %, с"), Figure::RiseSeconds},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Постоянная времени t63, шагов"), Figure::T63Steps},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Постоянная времени t63, с"), Figure::T63Seconds},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Установление в 2 %, шагов"), Figure::SettlingSteps},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Установление в 2 %, с"), Figure::SettlingSeconds},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Перерегулирование, %"), Figure::OvershootPercent},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Недорегулирование, %"), Figure::UndershootPercent},
}};

// The statistics table's columns after the trace's, each extreme's time
// after its step; the times are shown only beside measured samples.
const std::array<NamedFigure, 12> kStatisticsColumns{{
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "От шага"), Figure::From},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "До шага"), Figure::To},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Точек"), Figure::Count},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Мин"), Figure::Min},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Шаг мин"), Figure::MinStep},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Время мин, с"), Figure::MinSeconds},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Макс"), Figure::Max},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Шаг макс"), Figure::MaxStep},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Время макс, с"), Figure::MaxSeconds},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Среднее"), Figure::Mean},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "СКЗ"), Figure::Rms},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "СКО"), Figure::Std},
}};

bool IsTime(Figure figure)
{
    return std::ranges::find(analysis::kStatisticsTimeFigures, figure) != analysis::kStatisticsTimeFigures.end();
}

// A pin's step characteristics after its family's value, title and segment.
Cells PinCells(const PinMeasurement& pin, const analysis::StepRow& row)
{
    Cells cells{Name(pin.familyValue), Name(pin.title), Name(SegmentTitle(row.segment))};
    for (const NamedFigure& characteristic : kCharacteristicRows)
        cells << CellOf(characteristic.figure, row.figures[characteristic.figure]);
    return cells;
}

} // namespace

Cell Name(const QString& name)
{
    return {name, name};
}

Cell Number(double value)
{
    return {QString::fromStdString(toolkit::FloatToStrRounded(value, kShownDigits)),
            QString::fromStdString(toolkit::FloatToStr(value))};
}

QString SegmentTitle(Segment segment)
{
    static const std::array<const char*, kSegments.size()> kNames{
        QT_TRANSLATE_NOOP("MeasurementsWindow", "разгон"), QT_TRANSLATE_NOOP("MeasurementsWindow", "наброс"),
        QT_TRANSLATE_NOOP("MeasurementsWindow", "сброс")};
    return Translated(kNames[static_cast<std::size_t>(segment)]);
}

MeasuredTable StatisticsTable(const std::vector<analysis::RangeRow>& rows, const std::vector<MeasuredTraceRow>& traces)
{
    const bool times = std::ranges::any_of(traces, &MeasuredTraceRow::sampled);
    MeasuredTable table{{Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "График"))}, {}, 1};
    for (const auto& [heading, figure] : kStatisticsColumns)
        if (times || !IsTime(figure))
            table.header << Translated(heading);
    for (const analysis::RangeRow& row : rows) {
        const MeasuredTraceRow& trace = traces.at(row.trace);
        Cells cells{Name(trace.heading)};
        for (const auto& [heading, figure] : kStatisticsColumns) {
            if (!times && IsTime(figure))
                continue;
            const bool found = !trace.pending || figure == Figure::From || figure == Figure::To;
            if (figure == Figure::Count && trace.pending)
                cells << Name(QString::number(*trace.pending));
            else
                cells << (found ? CellOf(figure, row.figures[figure]) : Pending());
        }
        table.rows << cells;
    }
    return table;
}

MeasuredTable StepTable(const analysis::Measurements& measured)
{
    MeasuredTable table{{Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "Величина"))}, {}, 1};
    for (const analysis::StepRow& row : measured.steps)
        table.header << QString::fromStdString(std::string(QuantityName(row.quantity))) + QStringLiteral(": ") + SegmentTitle(row.segment);
    for (const NamedFigure& characteristic : kCharacteristicRows) {
        Cells cells{Name(Translated(characteristic.name))};
        for (const analysis::StepRow& row : measured.steps)
            cells << CellOf(characteristic.figure, row.figures[characteristic.figure]);
        table.rows << cells;
    }
    return table;
}

MeasuredTable PinsTable(const std::vector<PinMeasurement>& pins)
{
    MeasuredTable table{{Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "Значение")),
                         Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "График")),
                         Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "Участок"))},
                        {},
                        3};
    for (const NamedFigure& characteristic : kCharacteristicRows)
        table.header << Translated(characteristic.name);
    for (const PinMeasurement& pin : pins)
        for (const analysis::StepRow& row : pin.measured.steps)
            table.rows << PinCells(pin, row);
    return table;
}

MeasuredTable ComparisonTable(const lab::Comparison& comparison)
{
    MeasuredTable table{{Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "Величина")),
                         Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "Точек")),
                         Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "СКО ошибки")),
                         Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "Наибольшая ошибка")),
                         Translated(QT_TRANSLATE_NOOP("MeasurementsWindow", "при t, с")), QStringLiteral("R²")},
                        {},
                        1};
    for (const lab::QuantityComparison& compared : comparison.quantities)
        table.rows << Cells{Name(QString::fromUtf8(QuantityName(compared.quantity))),
                            Name(QString::number(compared.Samples())), Number(compared.rms), Number(compared.largest),
                            Number(compared.largestTime), Number(compared.rSquared)};
    return table;
}
