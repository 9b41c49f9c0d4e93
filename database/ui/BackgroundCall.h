#pragma once

// Work that may wait on the network (opening a connection to the central
// database), run on a thread of its own so the window keeps answering. Its
// result comes back on the thread of `receiver`, through `done`, and is
// dropped when the receiver is gone by then. `work` must not throw.

#include <QObject>
#include <QThread>

#include <memory>
#include <utility>

template <typename Result, typename Work, typename Done>
void runInBackground(QObject *receiver, Work work, Done done)
{
    auto result = std::make_shared<Result>();
    QThread *thread = QThread::create([work = std::move(work), result]() mutable { *result = work(); });
    QObject::connect(thread, &QThread::finished, receiver,
                     [result, done = std::move(done)]() mutable { done(std::move(*result)); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}
