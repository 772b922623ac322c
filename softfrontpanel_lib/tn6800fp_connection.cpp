#include "tn6800fp_connection.h"
#include "tn6800fp_loggedcalls.h"

#include <QMessageBox>
#include <QPushButton>

#include "tn6800.h"
#include "tn6800fp_busywork.h"
#include "tn6800fp_fcenteraddress.h"
#include "tn6800fp_fcselect.h"
#include "tn6800fp_genfc.h"
#include "tn6800fp_icons.h"
#include "tn6800fp_messages.h"

namespace {

enum class Step
{
    Ask,
    AutoFind,
    EnterAddress,
    Demo,
    Open,
    GiveUp
};

// A question with buttons of its own; returns the index of the button clicked,
// or -1 when the box was closed another way.
int askWithButtons(QWidget *parent, const QString &title, const QString &text,
                   const QStringList &buttons, const char *name)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setObjectName(QLatin1String(name));
    QList<QAbstractButton *> added;
    for (const QString &b : buttons) {
        QAbstractButton *button = b == QLatin1String("Cancel")
                                      ? box.addButton(QMessageBox::Cancel)
                                      : box.addButton(b, QMessageBox::AcceptRole);
        added << button;
    }
    box.setDefaultButton(qobject_cast<QPushButton *>(added.first()));
    box.exec();
    return added.indexOf(box.clickedButton());
}

} // namespace

bool tn6800fp_connection::run(const tn6800fp_startChoice &start)
{
    tn6800fp_fcSelect &d = m_dialog;
    const QString model = d.modelString();
    const QString title = d.workflowTitle();

    QMessageBox question(QMessageBox::Question, title,
                         QStringLiteral("How to connect to %1 Function Card?").arg(model));
    question.setObjectName(QStringLiteral("connectionQuestion"));
    question.setWindowIcon(tn6800fp_icon(tn6800fp_windowPixmap()));
    QPushButton *autoFind =
        question.addButton(QStringLiteral("Auto Find"), QMessageBox::ActionRole);
    QPushButton *demo =
        question.addButton(QStringLiteral("Run In Demo Mode"), QMessageBox::ActionRole);
    QPushButton *enter =
        question.addButton(QStringLiteral("Enter Address"), QMessageBox::ActionRole);
    question.addButton(QMessageBox::Cancel);
    question.setDefaultButton(autoFind);

    tn6800fp_fcEnterAddress addressDialog(d.card);

    Step step = Step::Ask;
    if (start.kind == tn6800fp_startChoice::Demo) {
        step = Step::Demo;
    } else if (start.kind == tn6800fp_startChoice::Open) {
        d.descriptorList = start.descriptor;
        d.fcNumbers[0] = qint16(start.fcNumber);
        d.fcCount = 1;
        step = Step::Open;
    }
    for (;;) {
        switch (step) {
        case Step::Ask: {
            question.exec();
            QAbstractButton *clicked = question.clickedButton();
            step = clicked == autoFind ? Step::AutoFind
                   : clicked == demo   ? Step::Demo
                   : clicked == enter  ? Step::EnterAddress
                                       : Step::GiveUp;
            break;
        }
        case Step::AutoFind: {
            const int found = d.findFunctionCards();
            if (found > 1) {
                if (d.exec() != QDialog::Accepted)
                    return false;
                step = Step::Open;
            } else if (found == 1) {
                d.fcCount = 1;
                step = Step::Open;
            } else {
                const int answer = askWithButtons(
                    &d, title,
                    QStringLiteral("No %1 Function Card found on your system.").arg(model),
                    {QStringLiteral("Try Again"), QStringLiteral("Run In Demo Mode"),
                     QStringLiteral("Cancel")},
                    "noCardQuestion");
                step = answer == 0 ? Step::Ask : answer == 1 ? Step::Demo : Step::GiveUp;
            }
            break;
        }
        case Step::EnterAddress: {
            addressDialog.loadDefaults();
            step = Step::Ask;
            while (addressDialog.exec() != 0) {
                QStringList descriptors;
                QList<int> numbers;
                addressDialog.readAddresses(descriptors, numbers);
                QString warning;
                if (descriptors.isEmpty() || numbers.isEmpty() ||
                    descriptors.size() != numbers.size()) {
                    warning = QStringLiteral("Please enter at least one resource descriptor and "
                                             "select the Function Card number.");
                } else {
                    for (int k = 0; k < descriptors.size(); ++k) {
                        if (descriptors.at(k).isEmpty() || numbers.at(k) == 0) {
                            warning = descriptors.size() > 1
                                          ? QStringLiteral("Please enter the resource descriptors "
                                                           "and select the Function Card numbers.")
                                          : QStringLiteral("Please enter the resource descriptor "
                                                           "and select the Function Card number.");
                            break;
                        }
                    }
                }
                if (warning.isEmpty()) {
                    d.descriptorList = descriptors.join(QLatin1Char(','));
                    const int n = qMin(int(numbers.size()), int(tn6800fp_fcSelect::maxCards));
                    for (int k = 0; k < n; ++k)
                        d.fcNumbers[k] = qint16(numbers.at(k));
                    d.fcCount = descriptors.size();
                    step = Step::Open;
                    break;
                }
                showWarning(warning);
                addressDialog.loadDefaults();
            }
            break;
        }
        case Step::Demo:
            d.demoMode = 1;
            d.fcNumbers[0] = 1;
            d.descriptorList = QStringLiteral("VXI0::1::INSTR");
            d.fcCount = 1;
            return true;
        case Step::Open: {
            const QByteArray descriptor = d.descriptorList.toLatin1();
            d.vi = 0;
            // Opening takes seconds on a real card (an ID query and a reset):
            // the driver is called on a thread of its own while the window
            // answers. Given up, the session it opens is closed once it
            // returns, and the question is asked again.
            const QString what = QStringLiteral("%1, position %2")
                                     .arg(d.descriptorList.section(QLatin1Char(','), 0, 0))
                                     .arg(d.fcNumbers[0]);
            tn6800fp_busyWork opening(&d, QStringLiteral("Orbana ") + model,
                                      QStringLiteral("Opening %1...").arg(what), "openProgress");
            opening.setCancellable(
                QStringLiteral("Cancelling: the driver is still opening %1;\nits session is "
                               "closed as soon as it returns...")
                    .arg(what));
            ViStatus status = VI_SUCCESS;
            ViSession vi = 0;
            const bool kept = opening.run(
                [&] { status = d.card->open(descriptor.constData(), d.fcNumbers, 1, 1, &vi); });
            d.vi = vi;
            if (!kept) {
                if (d.vi != 0)
                    d.card->close(d.vi);
                d.vi = 0;
                step = Step::Ask;
                break;
            }
            if (status == VI_SUCCESS)
                return true;
            QString text = d.card->errorMessage(status);
            if (text.isEmpty())
                text = tn6800fp_statusText(status, tn6800fp_logged::tn6800_error_message);
            if (status > 0) {
                // A warning (ID query or reset not supported, say) comes with
                // the session open: the card is there and is used.
                showWarning(QStringLiteral("Warning: [%1]").arg(text));
                return true;
            }
            if (d.vi != 0) {
                // Some drivers hand back a session with their error; it is
                // closed so that each "Try Again" starts from nothing.
                d.card->close(d.vi);
                d.vi = 0;
            }
            const QString message =
                (d.fcCount > 1
                     ? QStringLiteral("At least one selected %1 Function Card is "
                                      "unavailable.\nError: %2")
                     : QStringLiteral("Selected %1 Function Card is unavailable.\nError: %2"))
                    .arg(model, text);
            const int answer = askWithButtons(
                &d, title, message, {QStringLiteral("Try Again"), QStringLiteral("Cancel")},
                "unavailableQuestion");
            step = answer == 0 ? Step::Ask : Step::GiveUp;
            break;
        }
        case Step::GiveUp:
            return false;
        }
    }
}

bool tn6800fp_fcSelect::selectFunctionCard(const tn6800fp_startChoice &start)
{
    return tn6800fp_connection(*this).run(start);
}
