#pragma once

#include <QFuture>
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

// Long work on a thread of its own, one piece at a time: the window stays
// free while it lasts, sees its progress, can stop it, and gets its result
// back on the window's thread. A stopped piece hands nothing back.
class BackgroundWork : public QObject {
    Q_OBJECT

public:
    // What the work is given: the flag that asks it to stop, and where to
    // tell its progress, 0 to 100, from any thread.
    struct Control {
        const std::atomic<bool>& cancel;
        std::function<void(int percent)> progress;
    };

    explicit BackgroundWork(QObject* parent = nullptr) : QObject(parent) {}
    // Stops the work in progress and waits for it.
    ~BackgroundWork() override;

    bool Busy() const { return busy_; }

    // Starts work(control) on a worker and hands its result to done on this
    // object's thread once it ends, unless it was cancelled meanwhile. An
    // error the work or done raises is shown as a command's error is.
    // Nothing is started while other work is in progress.
    template <typename Result>
    void Start(std::function<Result(const Control&)> work, std::function<void(Result)> done)
    {
        if (busy_)
            return;
        SetBusy(true);
        cancel_ = false;
        future_ = Run([this, work = std::move(work), done = std::move(done)](const Control& control) {
            auto result = std::make_shared<Result>(work(control));
            return std::function<void()>([done, result] { done(std::move(*result)); });
        });
    }

    // Asks the work in progress to stop; it then changes nothing.
    void Cancel();

signals:
    void ProgressChanged(int percent);
    void BusyChanged(bool busy);
    // The work in progress ended without handing anything back.
    void Cancelled();

private:
    // Runs work on a worker; what it returns runs here when it ends.
    QFuture<void> Run(std::function<std::function<void()>(const Control&)> work);
    void SetBusy(bool busy);

    std::atomic<bool> cancel_ = false;
    bool busy_ = false;
    QFuture<void> future_;
};
