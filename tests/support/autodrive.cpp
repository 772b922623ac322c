// A library preloaded into the real tn6820fp executable (LD_PRELOAD) so that
// an installed or instrumented program can be driven without a person:
// it answers "Run In Demo Mode", waits for the main window, clicks Start and
// Stop on the panel, closes the window and answers "Yes". It prints one line
// per step on standard error.
#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

bool clickButton(QWidget *w, const QString &text)
{
    for (QAbstractButton *b : w->findChildren<QAbstractButton *>()) {
        if (b->text().remove(QLatin1Char('&')) == text && b->isVisible() && b->isEnabled()) {
            b->click();
            return true;
        }
    }
    return false;
}

QWidget *mainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->inherits("tn6820fp_App") && w->isVisible())
            return w;
    }
    return nullptr;
}

void drive()
{
    auto *timer = new QTimer(qApp);
    auto step = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        QWidget *modal = QApplication::activeModalWidget();
        switch (*step) {
        case 0:
            if (modal && clickButton(modal, QStringLiteral("Run In Demo Mode"))) {
                std::fprintf(stderr, "autodrive: demo mode chosen\n");
                ++*step;
            }
            break;
        case 1:
            if (QWidget *w = mainWindow(); w && !modal) {
                std::fprintf(stderr, "autodrive: main window shown\n");
                w->findChild<QPushButton *>(QStringLiteral("panelStartButton"))->click();
                w->findChild<QPushButton *>(QStringLiteral("panelStopButton"))->click();
                std::fprintf(stderr, "autodrive: generated and stopped\n");
                ++*step;
                // Outside this timer's slot, so the timer can answer the question.
                QTimer::singleShot(0, w, &QWidget::close);
            }
            break;
        case 2:
            if (modal && clickButton(modal, QStringLiteral("Yes"))) {
                std::fprintf(stderr, "autodrive: exit confirmed\n");
                ++*step;
                timer->stop();
            }
            break;
        default:
            break;
        }
    });
    timer->start(50);
}

// Waits on its own thread for the application object, then hands the driving
// to the GUI thread's event loop.
__attribute__((constructor)) void startAutodrive()
{
    std::thread([] {
        // The widgets' application object: a plain one may come and go before it.
        for (int i = 0; i < 6000 && !qobject_cast<QApplication *>(QCoreApplication::instance());
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (auto *app = qobject_cast<QApplication *>(QCoreApplication::instance()))
            QMetaObject::invokeMethod(app, drive, Qt::QueuedConnection);
    }).detach();
}

} // namespace
