#include "ui/BackgroundWork.h"

#include "ui/Application.h"

#include <QMetaObject>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>

BackgroundWork::~BackgroundWork()
{
    cancel_ = true;
    future_.waitForFinished();
}

void BackgroundWork::Cancel()
{
    if (busy_)
        cancel_ = true;
}

void BackgroundWork::SetBusy(bool busy)
{
    busy_ = busy;
    emit BusyChanged(busy);
}

QFuture<void> BackgroundWork::Run(std::function<std::function<void()>(const Control&)> work)
{
    return QtConcurrent::run([this, work = std::move(work)] {
        // The progress and the end are queued to this object, so they are
        // dropped if it is gone by then.
        auto lastPercent = std::make_shared<std::atomic<int>>(-1);
        const Control control{cancel_, [this, lastPercent](int percent) {
                                  if (lastPercent->exchange(percent) != percent)
                                      QMetaObject::invokeMethod(
                                          this, [this, percent] { emit ProgressChanged(percent); }, Qt::QueuedConnection);
                              }};
        std::function<void()> finish;
        try {
            finish = work(control);
        } catch (...) {
            finish = [error = std::current_exception()] { std::rethrow_exception(error); };
        }
        QMetaObject::invokeMethod(
            this,
            [this, finish = std::move(finish)] {
                const bool cancelled = cancel_;
                SetBusy(false);
                // An error is shown as a command's is.
                if (cancelled)
                    emit Cancelled();
                else
                    RunCommand(finish);
            },
            Qt::QueuedConnection);
    });
}
