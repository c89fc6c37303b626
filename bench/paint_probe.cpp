// Preloaded into the unmodified program (LD_PRELOAD) to time what its user
// sees: from the launch to the main window's first painted frame, and from
// an input to the end of the first frame after it that repaints the chart.
// The inputs are the release of a button, and over the chart a wheel turn,
// a pointer move with a button held (a pan step), a click (on the legend,
// where the measuring script clicks) and a double click; for a wheel turn,
// and for a click, also how long that frame took.
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
#include <string_view>
#include <utility>

namespace {

constexpr std::string_view kClickKey = "click_to_paint_ms";

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
        if (IsChart(receiver)) {
            if (event->type() == QEvent::Paint)
                chartPainted_ = true;
            else
                TakeChartInput(*event);
            return false;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            if (auto* button = qobject_cast<QAbstractButton*>(receiver)) {
                pendingInput_ = std::string(kClickKey) + ' ' + button->objectName().toStdString();
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
            if (pendingInput_ == "wheel_to_paint_ms")
                log_ << "wheel_frame_ms " << Milliseconds(paintedNs - frameNs) << std::endl;
            else if (pendingInput_.starts_with(kClickKey))
                log_ << "click_frame_ms" << pendingInput_.substr(kClickKey.size()) << ' '
                     << Milliseconds(paintedNs - frameNs) << std::endl;
            pendingInput_.clear();
        }
        return true;
    }

private:
    void TakeChartInput(const QEvent& event)
    {
        if (event.type() == QEvent::MouseButtonPress)
            dragged_ = false;
        std::string key = ChartInputKey(event);
        if (key == "pan_to_paint_ms")
            dragged_ = true;
        // The release that ends a drag is no click.
        if (key.empty() || (key == "chart_click_to_paint_ms" && dragged_))
            return;
        // The first move of a drag counts: later ones wait for its frame.
        if (pendingInput_ != key || key != "pan_to_paint_ms")
            inputNs_ = NowNs();
        pendingInput_ = std::move(key);
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
};

void InstallProbe()
{
    if (std::getenv("PAINT_PROBE_LOG"))
        QCoreApplication::instance()->installEventFilter(new PaintProbe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
