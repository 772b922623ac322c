#include "tn6820fp_report.h"
#include "tn6820fp_loggedcalls.h"

#include <QString>

#include "tn6800fp_messages.h"
#include "tn6820.h"

void reportDriverStatus(ViStatus status, const char *callLabel)
{
    if (status == VI_SUCCESS)
        return;
    const QByteArray text = tn6800fp_statusText(status, [](ViStatus s, ViChar buffer[]) {
                                return tn6820fp_logged::tn6820_error_message(VI_NULL, s, buffer);
                            }).toLocal8Bit();
    if (status < 0)
        showError(QString::asprintf("%s failed due to [%s]", callLabel, text.constData()));
    else
        showWarning(QString::asprintf("Warning: [%s]", text.constData()));
}
