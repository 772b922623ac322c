#ifndef BENCHSUPPORT_H
#define BENCHSUPPORT_H

#include <QAbstractButton>
#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>

// A line of /proc/self/status in kB ("VmHWM", "VmRSS"); -1 where there is none.
inline long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray name = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// The process's peak resident memory in kB.
inline long peakResidentKb()
{
    return statusKb("VmHWM");
}

// Clicks the named button of the first modal widget that shows one, at once.
inline void answer(const QString &button)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, button] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w)
            return;
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>()) {
            if (b->text().remove(QLatin1Char('&')) == button) {
                timer->deleteLater();
                b->click();
                return;
            }
        }
    });
    timer->start(0);
}

// Runs an operation of the GUI thread with a 10 ms timer beside it; returns
// its time in ms, and in stallMs the largest gap between the timer's ticks.
template <typename Op> double timeStalls(Op op, double &stallMs)
{
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    tick.start(10);
    QElapsedTimer t;
    t.start();
    sinceTick.start();
    op();
    stallMs = std::max(longest, sinceTick.nsecsElapsed() / 1e6);
    return t.nsecsElapsed() / 1e6;
}

#endif
