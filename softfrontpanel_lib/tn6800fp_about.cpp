#include "tn6800fp_about.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "tn6800fp_icons.h"
#include "tn6800fp_license.h"
#include "tn6800fp_style.h"

namespace {

QLabel *valueLabel(const char *text, const char *name)
{
    auto *label = new QLabel(QString::fromLocal8Bit(text ? text : ""));
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QFormLayout *formIn(QGroupBox *group, int h)
{
    auto *form = new QFormLayout(group);
    form->setHorizontalSpacing(h);
    form->setContentsMargins(h, h, h, h);
    return form;
}

template <typename Dialog> void runLicense(QWidget *parent)
{
    Dialog dialog(parent);
    dialog.exec();
}

} // namespace

QUrl tn6800fp_licensesUrl()
{
    return QUrl(QStringLiteral("https://www.morvix.com/about/third-party-license-usage/"));
}

tn6800fp_About::tn6800fp_About(const char *softFrontPanelVersion, const char *driverRevision,
                               const char *modelString, const char *noticeText, QWidget *parent,
                               const char *commonRevision, const char *qwtVersion, bool kissFFT)
    : QDialog(parent)
{
    tn6800fp_initResources();
    setObjectName(QStringLiteral("aboutDialog"));
    const int h = QFontMetrics(font()).height();
    const QString model = QString::fromLocal8Bit(modelString ? modelString : "");
    setWindowTitle(tr("About Orbana %1 Soft Front Panel").arg(model));
    setMinimumSize(380, 300);
    resize(380, 300);

    auto *main = new QVBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);
    auto *header = new QLabel(QStringLiteral("<font size='5' bold>Orbana %1 VXIplug&play "
                                             "Driver<br>Soft Front Panel Application</font>")
                                  .arg(model));
    header->setObjectName(QStringLiteral("aboutHeader"));
    header->setAlignment(Qt::AlignCenter);
    main->addWidget(header);
    auto *notice = new QLabel(QString::fromLocal8Bit(noticeText ? noticeText : ""));
    notice->setObjectName(QStringLiteral("aboutNotice"));
    notice->setAlignment(Qt::AlignCenter);
    main->addWidget(notice);
    main->addSpacing(h);

    auto *line = new QHBoxLayout;
    main->addLayout(line);
    auto *logo = new QLabel;
    logo->setObjectName(QStringLiteral("aboutLogo"));
    logo->setAccessibleName(QStringLiteral("Morvix logo"));
    logo->setStyleSheet(QStringLiteral("QLabel {background-color:#1A2C5E}"));
    logo->setAlignment(Qt::AlignTop);
    logo->setContentsMargins(10, 10, 10, 10);
    logo->setPixmap(tn6800fp_picture(QStringLiteral(":/morvix-logo.bmp")));
    line->addWidget(logo);
    auto *column = new QVBoxLayout;
    line->addLayout(column);

    auto *licences = new QGroupBox(QStringLiteral("Third-Party Licenses"));
    licences->setObjectName(QStringLiteral("licensesGroup"));
    auto *grid = new QGridLayout(licences);
    grid->setHorizontalSpacing(h);
    grid->setContentsMargins(h, h, h, h);
    auto *qtCell = new QWidget;
    auto *qtLine = new QHBoxLayout(qtCell);
    qtLine->setContentsMargins(0, 0, 0, 0);
    qtLine->setSpacing(0);
    qtLine->setAlignment(Qt::AlignLeft);
    auto *qtLink = new clickableLabel(QStringLiteral("Qt"));
    qtLink->setObjectName(QStringLiteral("qtLink"));
    connect(qtLink, &clickableLabel::clicked, qApp, &QApplication::aboutQt);
    qtLine->addWidget(qtLink);
    qtLine->addWidget(new QLabel(tr(" libraries version %1:").arg(QLatin1String(qVersion()))));
    grid->addWidget(qtCell, 1, 1);
    auto *qtLicenseLink = new clickableLabel(
        tn6800fp_qtIsLgpl21(qVersion()) ? QStringLiteral("LGPL v2.1") : QStringLiteral("LGPL v3"));
    qtLicenseLink->setObjectName(QStringLiteral("qtLicenseLink"));
    connect(qtLicenseLink, &clickableLabel::clicked, this, &tn6800fp_About::showQtLicense);
    grid->addWidget(qtLicenseLink, 1, 2);
    if (qwtVersion) {
        grid->addWidget(new QLabel(tr("Qwt library version %1:").arg(QLatin1String(qwtVersion))), 2,
                        1);
        auto *link = new clickableLabel(QStringLiteral("LGPL v2.1"));
        link->setObjectName(QStringLiteral("qwtLicenseLink"));
        connect(link, &clickableLabel::clicked, this, &tn6800fp_About::showQwtLicense);
        grid->addWidget(link, 2, 2);
    }
    if (kissFFT) {
        grid->addWidget(new QLabel(QStringLiteral("KISS FFT library:")), 3, 1);
        auto *link = new clickableLabel(QStringLiteral("BSD"));
        link->setObjectName(QStringLiteral("kissFFTLicenseLink"));
        connect(link, &clickableLabel::clicked, this, &tn6800fp_About::showKissFFTLicense);
        grid->addWidget(link, 3, 2);
    }
    auto *more = new clickableLabel(QStringLiteral("Learn more about licenses"));
    more->setObjectName(QStringLiteral("licensesWebLink"));
    connect(more, &clickableLabel::clicked, this, &tn6800fp_About::openLicensesWebPage);
    grid->addWidget(more, 4, 1);
    column->addWidget(licences);

    auto *revisions = new QGroupBox(QStringLiteral("Software Revisions"));
    revisions->setObjectName(QStringLiteral("revisionsGroup"));
    m_revisionsForm = formIn(revisions, h);
    m_commonLabel = valueLabel(commonRevision, "commonRevision");
    m_driverLabel = valueLabel(driverRevision, "driverRevision");
    m_panelLabel = valueLabel(softFrontPanelVersion, "panelVersion");
    if (commonRevision)
        m_revisionsForm->addRow(QStringLiteral("Orbana Common Library:"), m_commonLabel);
    else
        m_commonLabel->setParent(revisions);
    m_commonLabel->setVisible(commonRevision != nullptr);
    m_revisionsForm->addRow(QStringLiteral("Instrument Driver:"), m_driverLabel);
    m_revisionsForm->addRow(QStringLiteral("Soft Front Panel:"), m_panelLabel);
    column->addWidget(revisions);

    auto *hardware = new QGroupBox(QStringLiteral("Hardware Information"));
    hardware->setObjectName(QStringLiteral("hardwareGroup"));
    m_hardwareForm = formIn(hardware, h);
    m_modelLabel = valueLabel("", "deviceModel");
    m_revisionLabel = valueLabel("", "hardwareRevision");
    m_serialLabel = valueLabel("", "serialNumber");
    for (QLabel *l : {m_modelLabel, m_revisionLabel, m_serialLabel}) {
        l->setParent(hardware);
        l->hide();
    }
    column->addWidget(hardware);

    auto *buttons = new QHBoxLayout;
    m_prevButton = new QPushButton(QStringLiteral("< Previous"));
    m_prevButton->setObjectName(QStringLiteral("prevButton"));
    m_nextButton = new QPushButton(QStringLiteral("Next >"));
    m_nextButton->setObjectName(QStringLiteral("nextButton"));
    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("okButton"));
    for (QPushButton *b : {m_prevButton, m_nextButton, ok}) {
        b->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
        buttons->addWidget(b);
    }
    m_prevButton->setEnabled(false);
    m_prevButton->hide();
    m_nextButton->hide();
    column->addLayout(buttons);
    connect(m_nextButton, &QPushButton::clicked, this, &tn6800fp_About::next);
    connect(m_prevButton, &QPushButton::clicked, this, &tn6800fp_About::prev);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
}

void tn6800fp_About::addHardwareInfo(const QString &serialNumber, const QString &revision,
                                     const QString &deviceModel, const QString &driverRevision,
                                     const QString &softFrontPanelVersion)
{
    if (m_pages.isEmpty()) {
        m_hardwareForm->addRow(QStringLiteral("Device Model:"), m_modelLabel);
        m_hardwareForm->addRow(QStringLiteral("Revision:"), m_revisionLabel);
        m_hardwareForm->addRow(QStringLiteral("Serial Number:"), m_serialLabel);
        for (QLabel *l : {m_modelLabel, m_revisionLabel, m_serialLabel})
            l->show();
        m_modelLabel->setText(deviceModel);
        m_revisionLabel->setText(revision);
        m_serialLabel->setText(serialNumber);
    } else if (m_pages.size() == 1) {
        m_prevButton->show();
        m_nextButton->show();
        m_nextButton->setEnabled(true);
    }
    m_current.driverRevision = driverRevision.isEmpty() ? m_driverLabel->text() : driverRevision;
    m_current.softFrontPanelVersion =
        softFrontPanelVersion.isEmpty() ? m_panelLabel->text() : softFrontPanelVersion;
    m_current.deviceModel = deviceModel;
    m_current.revision = revision;
    m_current.serialNumber = serialNumber;
    m_pages.append(m_current);
}

void tn6800fp_About::next()
{
    if (m_pageIndex + 1 >= m_pages.size())
        return;
    ++m_pageIndex;
    if (m_pageIndex == m_pages.size() - 1)
        m_nextButton->setEnabled(false);
    m_prevButton->setEnabled(true);
    showPage(m_pageIndex);
}

void tn6800fp_About::prev()
{
    if (m_pageIndex <= 0)
        return;
    --m_pageIndex;
    if (m_pageIndex == 0)
        m_prevButton->setEnabled(false);
    m_nextButton->setEnabled(true);
    showPage(m_pageIndex);
}

void tn6800fp_About::showPage(int index)
{
    const Page &p = m_pages.at(index);
    if (!p.driverRevision.isEmpty())
        m_driverLabel->setText(p.driverRevision);
    if (!p.softFrontPanelVersion.isEmpty())
        m_panelLabel->setText(p.softFrontPanelVersion);
    m_modelLabel->setText(p.deviceModel);
    m_revisionLabel->setText(p.revision);
    m_serialLabel->setText(p.serialNumber);
}

void tn6800fp_About::showKissFFTLicense()
{
    runLicense<kissFFTLicense>(this);
}
void tn6800fp_About::showQtLicense()
{
    runLicense<qtLicense>(this);
}
void tn6800fp_About::showQwtLicense()
{
    runLicense<qwtLicense>(this);
}

void tn6800fp_About::openLicensesWebPage()
{
    QDesktopServices::openUrl(tn6800fp_licensesUrl());
}
