#pragma once

#include "analysis/Measurements.h"
#include "lab/Comparison.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What a cell shows, six significant digits of a number, and its value
// exactly, in the shortest form that reads back; the two are the same for
// names and whole counts.
struct Cell {
    QString shown;
    QString exact;
};
using Cells = QList<Cell>;

Cell Name(const QString& name);
Cell Number(double value);
// A number as a cell shows it.
inline QString ShownNumber(double value)
{
    return Number(value).shown;
}

// A measurements table as the window and the report render it: the
// columns' headings and the rows' cells, the first keyColumns naming the
// row.
struct MeasuredTable {
    QStringList header;
    QList<Cells> rows;
    int keyColumns = 1;
};

// A trace measured for the statistics table, by its heading; pending
// holds the number of points while its statistics are being found.
// Measured samples are sampled: they have times, not steps.
struct MeasuredTraceRow {
    QString heading;
    std::optional<std::size_t> pending;
    bool sampled = false;
};

// The statistics: a row per row of the value, its trace named by the
// heading at the row's place among the traces; with measured samples among
// them, the extremes' times in seconds too.
MeasuredTable StatisticsTable(const std::vector<analysis::RangeRow>& rows,
                              const std::vector<MeasuredTraceRow>& traces);

// The step characteristics: a row per figure, a column per quantity and
// segment the value has, in its order.
MeasuredTable StepTable(const analysis::Measurements& measured);

// A pinned step response: its family's value, its trace's title and what
// was measured of it.
struct PinMeasurement {
    QString familyValue;
    QString title;
    analysis::Measurements measured;
};

// The pins' characteristics: a row per pin and segment, a column per
// figure.
MeasuredTable PinsTable(const std::vector<PinMeasurement>& pins);

// The segment's name in the window: "разгон", "наброс" or "сброс".
QString SegmentTitle(Segment segment);

// The run against measured data: a row per quantity both have, with the
// samples compared, the error's RMS, the largest error and its time, and
// R².
MeasuredTable ComparisonTable(const lab::Comparison& comparison);
