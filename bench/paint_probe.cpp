// Preloaded into the unmodified program (LD_PRELOAD) to time what its user
// sees: from the launch to the main window's first painted frame, and from
// an input to the end of the first frame after it that repaints each chart
// (the main window's, and the mechanical characteristic's while open).
// The inputs are the release of a button, and over a chart a wheel turn,
// an arrow key's press, a pointer move with the middle button held (a pan step) or
// the left (a drag, of a cursor where the measuring script drags), or with
// none (the tracker follows it), a click (on the legend, where the
// measuring script clicks) and a double click; for a wheel turn
// and a pan step, also where the time goes: handling the input itself, the
// frame, and the rest between them ("queued": calls queued to the chart
// meanwhile, such as a replot the chart library puts off to the next turn
// of the event loop, and the loop's own work).
// Writes one line per measurement to the file named by PAINT_PROBE_LOG: the
// key, the button's name for a click, the chart's name, the milliseconds;
// PAINT_PROBE_LAUNCH_NS is the wall-clock launch time in nanoseconds.

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>
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

// Any of the program's charts, known by the chart library they are made of.
bool IsChart(QObject* receiver)
{
    return receiver->inherits("QCustomPlot");
}

// The log key of an input over the chart that the probe times; empty for
// any other event.
std::string ChartInputKey(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::Wheel:
        return "wheel_to_paint_ms";
    case QEvent::KeyPress: {
        // The arrow keys move the view; the other keys open windows.
        const int key = static_cast<const QKeyEvent&>(event).key();
        return key >= Qt::Key_Left && key <= Qt::Key_Down ? "arrow_key_to_paint_ms" : "";
    }
    case QEvent::MouseMove: {
        const Qt::MouseButtons buttons = static_cast<const QMouseEvent&>(event).buttons();
        if (buttons & Qt::MiddleButton)
            return "pan_to_paint_ms";
        return buttons & Qt::LeftButton ? "drag_to_paint_ms" : "tracker_to_paint_ms";
    }
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
        if (IsChart(receiver) && event->type() == QEvent::Paint) {
            paintedCharts_.insert(receiver->objectName());
            return false;
        }
        // A frame may come inside the handling: the chart library paints
        // at once at the end of a replot it had put off.
        if (delivering_ && event->type() != QEvent::UpdateRequest)
            return false;
        if (IsChart(receiver)) {
            if (!TakeChartInput(*event, receiver->objectName()))
                return false;
            // Delivered here, so its handling can be timed.
            const std::int64_t startNs = NowNs();
            delivering_ = true;
            framesInsideNs_ = 0;
            QCoreApplication::instance()->notify(receiver, event);
            delivering_ = false;
            if (IsBrokenDown() && !handlingLogged_)
                handlingMs_ = Milliseconds(NowNs() - startNs - framesInsideNs_);
            handlingLogged_ = true;
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            if (auto* button = qobject_cast<QAbstractButton*>(receiver))
                StartInput("click_to_paint_ms " + button->objectName().toStdString(), QString());
            return false;
        }
        auto* window = qobject_cast<QWidget*>(receiver);
        if (event->type() != QEvent::UpdateRequest || !window || !window->isWindow())
            return false;
        // Deliver the frame now, so its end can be timed: painting and the
        // flush to the screen both happen inside this call. An input counts
        // as painted on a chart with the first frame that repaints it.
        paintedCharts_.clear();
        const std::int64_t frameNs = NowNs();
        receiver->event(event);
        const std::int64_t paintedNs = NowNs();
        if (delivering_)
            framesInsideNs_ += paintedNs - frameNs;
        if (!firstPaintDone_ && launchNs_ > 0 && window->objectName() == QLatin1String("TForm1")) {
            log_ << "first_paint_ms " << Milliseconds(paintedNs - launchNs_) << std::endl;
            firstPaintDone_ = true;
        }
        if (pendingInput_.empty())
            return true;
        for (const QString& chart : paintedCharts_) {
            if (!reported_.insert(chart).second)
                continue;
            const std::string name = chart.toStdString();
            log_ << pendingInput_ << ' ' << name << ' ' << Milliseconds(paintedNs - inputNs_) << std::endl;
            if (chart != inputChart_)
                continue;
            inputFramed_ = true;
            if (IsBrokenDown()) {
                const std::string input = pendingInput_.substr(0, pendingInput_.find('_'));
                const double frameMs = Milliseconds(paintedNs - frameNs);
                log_ << input << "_frame_ms " << name << ' ' << frameMs << '\n'
                     << input << "_handling_ms " << name << ' ' << handlingMs_ << '\n'
                     << input << "_queued_ms " << name << ' '
                     << Milliseconds(paintedNs - inputNs_) - handlingMs_ - frameMs << std::endl;
            }
        }
        return true;
    }

private:
    bool IsBrokenDown() const { return pendingInput_ == "wheel_to_paint_ms" || pendingInput_ == "pan_to_paint_ms"; }

    void StartInput(std::string key, const QString& chart)
    {
        pendingInput_ = std::move(key);
        inputChart_ = chart;
        inputNs_ = NowNs();
        inputFramed_ = false;
        reported_.clear();
        handlingLogged_ = false;
        handlingMs_ = 0;
    }

    // Whether the event is an input the probe times.
    bool TakeChartInput(const QEvent& event, const QString& chart)
    {
        if (event.type() == QEvent::MouseButtonPress)
            dragged_ = false;
        std::string key = ChartInputKey(event);
        const bool drags = key == "pan_to_paint_ms" || key == "drag_to_paint_ms";
        dragged_ = dragged_ || drags;
        // The release that ends a drag is no click.
        if (key.empty() || (key == "chart_click_to_paint_ms" && dragged_))
            return false;
        // The first move of a drag counts: later ones wait for its frame.
        if (pendingInput_ != key || !drags || inputFramed_)
            StartInput(std::move(key), chart);
        return true;
    }

    std::ofstream log_;
    std::int64_t launchNs_ = 0;
    bool firstPaintDone_ = false;
    // The charts the frame being delivered repainted, by name.
    std::set<QString> paintedCharts_;
    bool dragged_ = false;
    // The log key of the last input, with the button's name for a click;
    // the chart it went to (none for a button); whether that chart was
    // painted since; and the charts painted since.
    std::string pendingInput_;
    QString inputChart_;
    bool inputFramed_ = false;
    std::set<QString> reported_;
    std::int64_t inputNs_ = 0;
    // Set while the probe delivers an event itself, and the time of the
    // frames painted meanwhile.
    bool delivering_ = false;
    std::int64_t framesInsideNs_ = 0;
    bool handlingLogged_ = false;
    double handlingMs_ = 0;
};

void InstallProbe()
{
    if (std::getenv("PAINT_PROBE_LOG"))
        QCoreApplication::instance()->installEventFilter(new PaintProbe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
