// Preloaded into the unmodified program (LD_PRELOAD) to time what its user
// sees: from the launch to the main window's first painted frame, and from
// an input to the end of the first frame after it that repaints the chart.
// The inputs are the release of a button, and over the chart a wheel turn,
// a pointer move with a button held (a pan step), a click (on the legend,
// where the measuring script clicks) and a double click; for a wheel turn
// and a pan step, also where the time goes: handling the input itself,
// calls queued to the chart meanwhile (a replot the chart library puts off
// to the next turn of the event loop), and the frame.
// Writes one line per measurement to the file named by PAINT_PROBE_LOG;
// PAINT_PROBE_LAUNCH_NS is the wall-clock launch time in nanoseconds.

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>

namespace {

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double Milliseconds(std::int64_t ns)
{
    return static_cast<double>(ns) / 1e6;
}

// The chart, or the viewport of a chart that draws into one.
bool IsChart(QObject* receiver)
{
    auto named = [](QObject* object) { return object && object->objectName() == QLatin1String("Chart1"); };
    return named(receiver) || named(receiver->parent());
}

// The log key of an input over the chart that the probe times; empty for
// any other event.
std::string ChartInputKey(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::Wheel:
        return "wheel_to_paint_ms";
    case QEvent::MouseMove:
        return static_cast<const QMouseEvent&>(event).buttons() != Qt::NoButton ? "pan_to_paint_ms" : "";
    case QEvent::MouseButtonRelease:
        return "chart_click_to_paint_ms";
    case QEvent::MouseButtonDblClick:
        return "double_click_to_paint_ms";
    default:
        return "";
    }
}

class PaintProbe final : public QObject {
public:
    PaintProbe() : log_(std::getenv("PAINT_PROBE_LOG"), std::ios::app)
    {
        if (const char* launch = std::getenv("PAINT_PROBE_LAUNCH_NS"))
            launchNs_ = std::stoll(launch);
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (delivering_)
            return false;
        if (IsChart(receiver)) {
            if (event->type() == QEvent::Paint) {
                chartPainted_ = true;
                return false;
            }
            const bool input = TakeChartInput(*event);
            const bool queued = event->type() == QEvent::MetaCall && IsBrokenDown();
            if (!input && !queued)
                return false;
            // Delivered here, so its handling can be timed.
            const std::int64_t startNs = NowNs();
            delivering_ = true;
            QCoreApplication::instance()->notify(receiver, event);
            delivering_ = false;
            const double ms = Milliseconds(NowNs() - startNs);
            if (queued)
                queuedMs_ += ms;
            else if (IsBrokenDown() && !handlingLogged_)
                handlingMs_ = ms;
            handlingLogged_ = true;
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            if (auto* button = qobject_cast<QAbstractButton*>(receiver)) {
                pendingInput_ = "click_to_paint_ms " + button->objectName().toStdString();
                inputNs_ = NowNs();
            }
            return false;
        }
        auto* window = qobject_cast<QWidget*>(receiver);
        if (event->type() != QEvent::UpdateRequest || !window || !window->isWindow() ||
            window->objectName() != QLatin1String("TForm1"))
            return false;
        // Deliver the frame now, so its end can be timed: painting and the
        // flush to the screen both happen inside this call. A click counts
        // as painted with the first frame that repaints the chart's lines.
        chartPainted_ = false;
        const std::int64_t frameNs = NowNs();
        receiver->event(event);
        const std::int64_t paintedNs = NowNs();
        if (!firstPaintDone_ && launchNs_ > 0)
            log_ << "first_paint_ms " << Milliseconds(paintedNs - launchNs_) << std::endl;
        firstPaintDone_ = true;
        if (!pendingInput_.empty() && chartPainted_) {
            log_ << pendingInput_ << ' ' << Milliseconds(paintedNs - inputNs_) << std::endl;
            if (IsBrokenDown()) {
                const std::string input = pendingInput_.substr(0, pendingInput_.find('_'));
                log_ << input << "_frame_ms " << Milliseconds(paintedNs - frameNs) << '\n'
                     << input << "_handling_ms " << handlingMs_ << '\n'
                     << input << "_queued_ms " << queuedMs_ << std::endl;
            }
            pendingInput_.clear();
        }
        return true;
    }

private:
    bool IsBrokenDown() const { return pendingInput_ == "wheel_to_paint_ms" || pendingInput_ == "pan_to_paint_ms"; }

    // Whether the event is an input the probe times.
    bool TakeChartInput(const QEvent& event)
    {
        if (event.type() == QEvent::MouseButtonPress)
            dragged_ = false;
        std::string key = ChartInputKey(event);
        if (key == "pan_to_paint_ms")
            dragged_ = true;
        // The release that ends a drag is no click.
        if (key.empty() || (key == "chart_click_to_paint_ms" && dragged_))
            return false;
        // The first move of a drag counts: later ones wait for its frame.
        if (pendingInput_ != key || key != "pan_to_paint_ms") {
            inputNs_ = NowNs();
            handlingLogged_ = false;
            handlingMs_ = 0;
            queuedMs_ = 0;
        }
        pendingInput_ = std::move(key);
        return true;
    }

    std::ofstream log_;
    std::int64_t launchNs_ = 0;
    bool firstPaintDone_ = false;
    bool chartPainted_ = false;
    bool dragged_ = false;
    // The log key of the input waiting for its frame, with the button's
    // name for a click.
    std::string pendingInput_;
    std::int64_t inputNs_ = 0;
    // Set while the probe delivers an event itself.
    bool delivering_ = false;
    bool handlingLogged_ = false;
    double handlingMs_ = 0;
    double queuedMs_ = 0;
};

void InstallProbe()
{
    if (std::getenv("PAINT_PROBE_LOG"))
        QCoreApplication::instance()->installEventFilter(new PaintProbe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
