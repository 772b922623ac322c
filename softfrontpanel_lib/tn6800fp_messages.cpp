#include "tn6800fp_messages.h"
#include "tn6800fp_loggedcalls.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tn6800.h"

namespace {

// "Orbana " and the ending are joined as they stand, which leaves two blanks.
QString boxTitle(const char *ending)
{
    return QStringLiteral("Orbana ") + QLatin1String(ending);
}

int ask(QMessageBox::Icon icon, const char *titleEnding, const QString &text,
        QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, boxTitle(titleEnding), text, buttons, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("tn6800fp_messageBox"));
    return box.exec();
}

} // namespace

void showInfo(const QString &text)
{
    ask(QMessageBox::Information, " SFP Info message", text, QMessageBox::Ok);
}

void showWarning(const QString &text)
{
    ask(QMessageBox::Warning, " SFP Warning message", text, QMessageBox::Ok);
}

void showError(const QString &text)
{
    const int answer =
        ask(QMessageBox::Critical, " SFP Error message",
            text + QStringLiteral("\nDo you want to exit?"), QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        tn6800fp_endProcess();
}

void tn6800fp_endProcess()
{
    std::fflush(nullptr);
    std::_Exit(0);
}

QString tn6800fp_statusText(ViStatus status, tn6800fp_textLookup lookup)
{
    char text[1024];
    std::memset(text, 0, sizeof text);
    lookup(status, text);
    text[sizeof text - 1] = '\0';
    return QString::fromLocal8Bit(text);
}

void tn6800fp_reportCommonStatus(ViStatus status)
{
    if (status == VI_SUCCESS)
        return;
    const QByteArray text =
        tn6800fp_statusText(status, tn6800fp_logged::tn6800_error_message).toLocal8Bit();
    if (status < 0)
        showError(QString::asprintf("Function Call failed due to [%s]", text.constData()));
    else
        showWarning(QString::asprintf("Warning [%s]", text.constData()));
}
