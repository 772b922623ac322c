#include "tn6800fp_appfc.h"
#include "tn6800fp_calllog.h"
#include "tn6800fp_loggedcalls.h"

#include <QApplication>
#include <QPushButton>
#include <cstring>

#include "tn6800.h"
#include "tn6800fp_about.h"
#include "tn6800fp_fcselect.h"
#include "tn6800fp_genfc.h"
#include "tn6800fp_messages.h"

namespace {

// A VISA text attribute, or an empty text when it cannot be read.
QString textAttribute(ViSession vi, ViAttr attribute)
{
    char text[256];
    std::memset(text, 0, sizeof text);
    if (tn6800fp_logged::viGetAttribute(vi, attribute, text) != VI_SUCCESS)
        return QString();
    text[sizeof text - 1] = '\0';
    return QString::fromLatin1(text);
}

} // namespace

tn6800fp_AppFC::tn6800fp_AppFC(tn6800fp_genFC *card, int multiSelection, bool skipConnection,
                               const char *qwtVersion, bool kissFFT,
                               const tn6800fp_startChoice &start)
    : card(card)
{
    const QString model = tn6800fp_modelString(card->modelCode);
    auto *select = new tn6800fp_fcSelect(card, multiSelection != 0);
    if (!skipConnection) {
        select->setWindowIcon(windowIcon());
        centerOnScreen(select);
        if (!select->selectFunctionCard(start)) {
            demoMode = 1;
            tn6800fp_endProcess();
        }
        demoMode = select->demoMode;
    } else {
        demoMode = 1;
    }
    d_vi = select->vi;
    m_descriptor = select->descriptorList;
    for (int k = 0; k < 256; ++k)
        fcNumbers[k] = select->fcNumbers[k];
    setDemoMode(demoMode != 0);
    fcCount = select->fcCount;

    QString moduleText;
    QString cardText;
    QString hostName;
    if (demoMode) {
        tn6800fp_callLog::instance().noteDemoMode();
        lxiCarrier = false;
        d_vi = 0;
    } else {
        ViInt16 slot = 0;
        if (tn6800fp_logged::viGetAttribute(d_vi, VI_ATTR_SLOT, &slot) < 0) {
            lxiCarrier = true;
            moduleText = textAttribute(d_vi, VI_ATTR_TCPIP_DEVICE_NAME);
            hostName = textAttribute(d_vi, VI_ATTR_TCPIP_HOSTNAME);
        } else {
            lxiCarrier = false;
            moduleText = QStringLiteral("Slot %1").arg(slot);
        }
        cardText = QStringLiteral("FC %1").arg(fcNumbers[0]);
    }
    delete select;

    setWindowTitle(QStringLiteral("Orbana ") + model + QStringLiteral(" Soft Front Panel") +
                   (hostName.isEmpty() ? QString() : QStringLiteral(": ") + hostName));
    setTitleText(QStringLiteral("<html>Orbana ") + model + QStringLiteral("<br>") +
                 QStringLiteral("<font size='2'>") + card->description() +
                 QStringLiteral("</font></html>"));
    setLxiLogo(lxiCarrier);
    setModuleLabel(
        moduleText,
        lxiCarrier ? QStringLiteral("Shows which LXI module is connected to the Soft Front Panel")
                   : QStringLiteral("Shows which VXI module is connected to the Soft Front Panel"));
    setCardLabel(cardText,
                 QStringLiteral("Shows which function card is connected to the Soft Front Panel"));

    char revision[256]; // the library writes its whole text
    std::memset(revision, 0, sizeof revision);
    tn6800fp_logged::tn6800_revision(revision);
    revision[sizeof revision - 1] = '\0';

    m_about = new tn6800fp_About(
        card->softwareVersion().toLocal8Bit().constData(),
        card->driverRevision().toLocal8Bit().constData(), model.toLocal8Bit().constData(),
        card->noticeText().toLocal8Bit().constData(), this, revision, qwtVersion, kissFFT);
    aboutDialog = m_about;
    m_about->setWindowIcon(windowIcon());
    connect(aboutButton, &QPushButton::clicked, m_about, &QWidget::show);
    connect(this, &tn6800fp_app::resetPressed, this, &tn6800fp_AppFC::resetDevice);
}

tn6800fp_AppFC::~tn6800fp_AppFC()
{
    if (!demoMode)
        card->close(d_vi);
}

void tn6800fp_AppFC::closeEvent(QCloseEvent *event)
{
    tn6800fp_app::closeEvent(event);
}

void tn6800fp_AppFC::resetDevice()
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
    if (!demoMode && card)
        tn6800fp_reportCommonStatus(card->reset(d_vi));
    QApplication::restoreOverrideCursor();
}
