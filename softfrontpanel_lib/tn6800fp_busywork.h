#ifndef TN6800FP_BUSYWORK_H
#define TN6800FP_BUSYWORK_H

#include <QString>
#include <functional>

class QWidget;

// Work that may take long (a driver call that opens a card, a large file)
// run on a thread of its own while the GUI thread goes on drawing the
// windows. Until the work has ended the application takes no input but the
// busy dialog's, as under a modal dialog; the dialog itself, a busy
// progress dialog saying what is happening, shows once the work has run
// longer than a moment, so that quick work shows nothing.
class tn6800fp_busyWork
{
public:
    // The dialog's title and text ("Opening VXI0::8::INSTR, position 2..."),
    // plain text; objectName names the dialog for tests and tools.
    tn6800fp_busyWork(QWidget *parent, const QString &title, const QString &text,
                      const char *objectName);

    // The dialog shows when the work still runs after ms (0: at once).
    void setShowAfter(int ms) { m_showAfterMs = ms; }
    // Escape, a close or the dialog's Cancel button then ask for the work to
    // be given up. The work itself runs on to its end (a driver call cannot
    // be cut short); meanwhile the dialog says cancellingText.
    void setCancellable(const QString &cancellingText);

    // Runs work and returns once it has ended: true, or false when the user
    // asked to give it up, in which case the caller undoes what it did.
    // Without cancelling, Escape and a close leave the dialog up.
    bool run(const std::function<void()> &work);

private:
    QWidget *m_parent;
    QString m_title;
    QString m_text;
    QString m_cancellingText;
    const char *m_objectName;
    int m_showAfterMs = 0;
    bool m_cancellable = false;
};

#endif
