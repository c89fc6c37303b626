#include "chart/ChartCurrents.h"

#include "chart/TraceChart.h"
#include "chart/TranslatedText.h"

#include <QAction>
#include <QMenu>

ChartCurrents::ChartCurrents(TraceChart& chart, QMenu& menu) : QObject(&chart), chart_(chart), item_(menu.addAction(QString()))
{
    SetTranslatedText(*item_, "ChartCurrents", QT_TRANSLATE_NOOP("ChartCurrents", "Токи статора"));
    item_->setObjectName(QStringLiteral("ActionCurrents"));
    item_->setCheckable(true);
    item_->setEnabled(false);
    connect(item_, &QAction::toggled, this, &ChartCurrents::ShowAll);
}

void ChartCurrents::Offer(RunKind kind, const std::array<const Trace*, 2>& currents, bool offered)
{
    for (std::size_t i = 0; i < currents.size(); ++i) {
        const std::optional<int> index = chart_.View().Traces().IndexOf(*currents[i]);
        if (offered && !index)
            chart_.InsertTrace(PlaceOf(kind), *currents[i], TraceHeading(kind, kCurrents[i]),
                               RunTrace{false, static_cast<std::uint64_t>(kind), kCurrents[i]}, item_->isChecked());
        else if (!offered && index)
            chart_.RemoveTrace(*index);
    }
    item_->setEnabled(AnyOffered());
}

void ChartCurrents::ShowAll(bool shown)
{
    ShownTraces traces = chart_.View().Traces();
    for (int i = 0; i < traces.Count(); ++i)
        if (traces.Of(i) && IsCurrent(traces.Of(i)->quantity))
            traces.SetShown(i, shown);
    chart_.View().SetTraces(std::move(traces));
}

int ChartCurrents::PlaceOf(RunKind kind) const
{
    const ShownTraces& traces = chart_.View().Traces();
    int place = 0;
    for (; place < traces.Count(); ++place) {
        const std::optional<RunTrace>& of = traces.Of(place);
        if (!of || of->pinned || (IsCurrent(of->quantity) && of->run > static_cast<std::uint64_t>(kind)))
            break;
    }
    return place;
}

bool ChartCurrents::AnyOffered() const
{
    const ShownTraces& traces = chart_.View().Traces();
    for (int i = 0; i < traces.Count(); ++i)
        if (traces.Of(i) && !traces.Of(i)->pinned && IsCurrent(traces.Of(i)->quantity))
            return true;
    return false;
}
