#include "tn6800fp_busywork.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <thread>

namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// Holds back what a modal dialog would: the user's input to every window but
// the busy dialog, and their closes, also before the dialog shows. Escape and
// a close of the dialog itself ask to give the work up.
class Gate : public QObject
{
public:
    Gate(QProgressDialog &dialog, std::function<void()> giveUp)
        : m_dialog(dialog), m_giveUp(std::move(giveUp))
    {
    }

    bool eventFilter(QObject *o, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        const bool ours = isOurs(o);
        if (type == QEvent::Close) {
            if (o == &m_dialog) {
                m_giveUp();
                event->ignore();
                return true;
            }
            // The user's close of another window waits, as under a modal
            // dialog; the program's own closes go through.
            if (ours || !event->spontaneous())
                return false;
            event->ignore();
            return true;
        }
        if (!isInput(type))
            return false;
        if (!ours)
            return true;
        // Escape is taken before it can become the dialog's own shortcut,
        // which would hide the dialog.
        if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            m_giveUp();
            event->accept();
            return true;
        }
        return false;
    }

private:
    // The dialog, its window, its widgets and what they own (the Escape
    // shortcut of its Cancel button).
    bool isOurs(QObject *o) const
    {
        for (; o; o = o->parent()) {
            if (o == &m_dialog || o == m_dialog.windowHandle())
                return true;
        }
        return false;
    }

    QProgressDialog &m_dialog;
    std::function<void()> m_giveUp;
};

} // namespace

tn6800fp_busyWork::tn6800fp_busyWork(QWidget *parent, const QString &title, const QString &text,
                                     const char *objectName)
    : m_parent(parent), m_title(title), m_text(text), m_objectName(objectName)
{
}

void tn6800fp_busyWork::setCancellable(const QString &cancellingText)
{
    m_cancellable = true;
    m_cancellingText = cancellingText;
}

bool tn6800fp_busyWork::run(const std::function<void()> &work)
{
    QProgressDialog dialog(m_parent);
    dialog.setObjectName(QLatin1String(m_objectName));
    dialog.setWindowTitle(m_title);
    dialog.setWindowModality(Qt::ApplicationModal);
    // Names from outside (a descriptor, a file) are shown as they are.
    auto *label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    dialog.setLabel(label);
    dialog.setLabelText(m_text);
    dialog.setRange(0, 0);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setMinimumDuration(m_showAfterMs);
    // The dialog's own cancel would hide it at once; here it stays up, saying
    // what it waits for, until the work has ended. The dialog makes that
    // connection by name, so it is undone by name.
    QObject::disconnect(&dialog, SIGNAL(canceled()), &dialog, SLOT(cancel()));
    QPushButton *cancel = nullptr;
    if (m_cancellable) {
        cancel = new QPushButton(QStringLiteral("Cancel"));
        cancel->setObjectName(QStringLiteral("cancelButton"));
        dialog.setCancelButton(cancel);
    } else {
        dialog.setCancelButton(nullptr);
    }
    bool givenUp = false;
    const auto giveUp = [&] {
        if (!m_cancellable || givenUp)
            return;
        givenUp = true;
        dialog.setLabelText(m_cancellingText);
        cancel->setEnabled(false);
    };
    QObject::connect(&dialog, &QProgressDialog::canceled, giveUp);
    Gate gate(dialog, giveUp);
    qApp->installEventFilter(&gate);

    std::atomic<bool> done{false};
    QEventLoop loop;
    const auto show = [&] {
        if (!done.load())
            dialog.show();
    };
    QTimer shower;
    shower.setSingleShot(true);
    QObject::connect(&shower, &QTimer::timeout, show);
    if (m_showAfterMs <= 0)
        show();
    else
        shower.start(m_showAfterMs);
    // The end is posted to the loop by name: nothing made on the worker is
    // handed to the GUI thread.
    std::thread job([&] {
        work();
        done.store(true);
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    // The loop ends early only when the whole application is told to quit;
    // the work is still waited for, as nothing may outlive it.
    job.join();
    qApp->removeEventFilter(&gate);
    dialog.hide();
    return !givenUp;
}
