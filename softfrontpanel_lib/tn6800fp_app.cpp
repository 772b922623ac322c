#include "tn6800fp_app.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "tn6800fp_icons.h"
#include "tn6800fp_led.h"
#include "tn6800fp_style.h"
#include "tn6800fp_widgets.h"

namespace {

const char *const kStartTip = "Starts the single-shot data acquisition";
const char *const kStartTipAfterBreak = "Starts the Single-Shot Data Acquisition";
const char *const kBreakTip = "Breaks the Single-Shot Data Acquisition";
const char *const kContTip = "<html>Starts the repetitive data acquisition (or continuous data "
                             "acquisition, when file storage option is turned on)</html>";
const char *const kStopContTip = "Stops the Data Acquisition process";

QPushButton *makeButton(const QString &text, const char *name, const QString &whatsThis,
                        bool withTooltip)
{
    auto *b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    if (withTooltip)
        tn6800fp_setHelp(b, whatsThis);
    else
        b->setWhatsThis(whatsThis);
    return b;
}

QLabel *pictureLabel(const char *resource, const char *name)
{
    auto *label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setPixmap(tn6800fp_picture(QLatin1String(resource)));
    return label;
}

} // namespace

void centerOnScreen(QWidget *widget)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!widget || !screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect g = widget->geometry();
    widget->move((area.width() - g.width()) / 2, (area.height() - g.height()) / 2);
}

tn6800fp_app::tn6800fp_app() : QWidget(nullptr, Qt::Window)
{
    tn6800fp_initResources();
    tn6800fp_applyStyle();
    setObjectName(QStringLiteral("tn6800fp_app"));

    const int h = QFontMetrics(font()).height();
    auto *outer = new QVBoxLayout;
    outer->setSpacing(h);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *header = new QHBoxLayout;
    header->setSpacing(0);
    auto *body = new QHBoxLayout;
    body->setSpacing(h);
    body->setContentsMargins(h / 2, 0, 0, h / 2);
    outer->addLayout(header);
    outer->addLayout(body);
    contentArea = new QWidget;
    contentArea->setObjectName(QStringLiteral("contentArea"));
    sideColumn = new QVBoxLayout;
    sideColumn->setSpacing(h / 2);
    sideColumn->setContentsMargins(0, 0, h / 2, h / 2);
    body->addWidget(contentArea);
    body->addLayout(sideColumn);
    setContentLayout(outer);

    setWindowIcon(tn6800fp_icon(tn6800fp_windowPixmap()));

    QLabel *makerLogo = pictureLabel(":/morvix-logo.bmp", "makerLogo");
    makerLogo->setAccessibleName(QStringLiteral("Morvix logo"));
    header->addWidget(makerLogo);
    titleLabel = new QLabel;
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setStyleSheet(
        QStringLiteral("QLabel { background-color: #1a2c5e; color: #ffffff; font: bold 20px}"));
    titleLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    header->addWidget(titleLabel);
    carrierLogoLabel = pictureLabel(":/vxi-logo.bmp", "carrierLogo");
    carrierLogoLabel->setAccessibleName(QStringLiteral("VXI logo"));
    header->addWidget(carrierLogoLabel);

    auto *status = new QGroupBox;
    status->setObjectName(QStringLiteral("statusGroup"));
    auto *statusLayout = new QVBoxLayout(status);
    statusLayout->setSpacing(h);
    activeLed = new tn6800fp_led(QStringLiteral("Active"), Qt::green, Qt::magenta);
    activeLed->setObjectName(QStringLiteral("activeLed"));
    activeLed->setWhatsThis(QStringLiteral(
        "Green light means that the Soft Front Panel works\nin Real (not Demo) mode."));
    moduleLabel = new QLabel;
    moduleLabel->setObjectName(QStringLiteral("moduleLabel"));
    moduleLabel->hide();
    cardLabel = new QLabel;
    cardLabel->setObjectName(QStringLiteral("cardLabel"));
    cardLabel->hide();
    statusLayout->addWidget(activeLed);
    statusLayout->addWidget(moduleLabel);
    statusLayout->addWidget(cardLabel);
    sideColumn->addWidget(status);
    sideColumn->addStretch();

    autoscaleLabel = new QLabel(QStringLiteral("Autoscale"));
    autoscaleLabel->setObjectName(QStringLiteral("autoscaleLabel"));
    autoscaleLabel->setAlignment(Qt::AlignCenter);
    autoscaleLabel->hide();
    autoscaleButton = makeButton(QStringLiteral("ON"), "autoscaleButton",
                                 QStringLiteral("Enables/disables plot autorescale feature"), true);
    autoscaleButton->setCheckable(true);
    autoscaleButton->setChecked(true);
    autoscaleButton->hide();
    sideColumn->addWidget(autoscaleLabel);
    sideColumn->addWidget(autoscaleButton);
    sideColumn->addStretch();

    identifyLabel = new QLabel(QStringLiteral("Identify"));
    identifyLabel->setObjectName(QStringLiteral("identifyLabel"));
    identifyLabel->setAlignment(Qt::AlignCenter);
    identifyLabel->hide();
    identifyButton =
        makeButton(QStringLiteral("OFF"), "identifyButton",
                   QStringLiteral("Enables/disables visual identification mechanism"), true);
    identifyButton->setCheckable(true);
    identifyButton->hide();
    sideColumn->addWidget(identifyLabel);
    sideColumn->addWidget(identifyButton);
    sideColumn->addStretch();

    startButton = makeButton(QString(), "startButton", QLatin1String(kStartTip), true);
    startButton->setIcon(tn6800fp_icon(tn6800fp_startPixmap()));
    startButton->setCheckable(true);
    startButton->hide();
    startContButton = makeButton(QString(), "startContButton", QLatin1String(kContTip), true);
    startContButton->setIcon(tn6800fp_icon(tn6800fp_continuousPixmap()));
    startContButton->setCheckable(true);
    startContButton->hide();
    sideColumn->addWidget(startButton);
    sideColumn->addWidget(startContButton);
    sideColumn->addStretch();

    resetButton = makeButton(QStringLiteral("Reset Device"), "resetButton",
                             QStringLiteral("Reset the device to the default state"), true);
    sideColumn->addWidget(resetButton);
    sideColumn->addStretch();

    const QPixmap help = tn6800fp_helpPixmap();
    helpButton = makeButton(
        QString(), "helpButton",
        QStringLiteral("Show on-line help for Instrument Soft Front Panel components"), false);
    helpButton->setIcon(tn6800fp_icon(help));
    helpButton->setIconSize(help.size());
    helpButton->setAccessibleName(QStringLiteral("What's This help"));
    helpButton->setAccessibleDescription(helpButton->toolTip());
    aboutButton = makeButton(QStringLiteral("About"), "aboutButton",
                             QStringLiteral("Displays \"About\" panel"), false);
    closeButton = makeButton(QStringLiteral("Close"), "closeButton",
                             QStringLiteral("Close main panel and terminates program"), false);
    sideColumn->addWidget(helpButton);
    sideColumn->addWidget(aboutButton);
    sideColumn->addWidget(closeButton);

    connect(autoscaleButton, &QPushButton::toggled, this, &tn6800fp_app::autoscaleToggledSlot);
    connect(identifyButton, &QPushButton::toggled, this, &tn6800fp_app::identToggledSlot);
    connect(startButton, &QPushButton::toggled, this, &tn6800fp_app::startToggledSlot);
    connect(startContButton, &QPushButton::toggled, this, &tn6800fp_app::startContToggledSlot);
    connect(resetButton, &QPushButton::clicked, this, &tn6800fp_app::resetPressed);
    connect(helpButton, &QPushButton::clicked, this, &tn6800fp_app::enterWIT);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    contentReady = true;
    outer->setSizeConstraint(QLayout::SetMinimumSize);
    centerOnScreen(this);
}

tn6800fp_app::~tn6800fp_app() = default;

void tn6800fp_app::addSideButton(QPushButton *button)
{
    button->setSizePolicy(resetButton->sizePolicy());
    sideColumn->insertWidget(sideColumn->indexOf(resetButton), button);
}

void tn6800fp_app::setContentLayout(QLayout *layout)
{
    if (contentReady)
        contentArea->setLayout(layout);
    else
        setLayout(layout);
}

void tn6800fp_app::setTitleText(const QString &text)
{
    titleLabel->setText(text);
}

void tn6800fp_app::setLxiLogo(bool lxi)
{
    if (lxi) {
        carrierLogoLabel->setPixmap(tn6800fp_picture(QStringLiteral(":/lxi-logo.bmp")));
        carrierLogoLabel->setAccessibleName(QStringLiteral("LXI logo"));
    }
}

void tn6800fp_app::clearCarrierLogo()
{
    carrierLogoLabel->clear();
    carrierLogoLabel->setAccessibleName(QString());
}

void tn6800fp_app::setLine(QLabel *label, const QString &text, const QString &whatsThis)
{
    label->setText(text);
    label->setVisible(!text.isEmpty());
    if (!whatsThis.isEmpty())
        label->setWhatsThis(whatsThis);
}

void tn6800fp_app::setModuleLabel(const QString &text, const QString &whatsThis)
{
    setLine(moduleLabel, text, whatsThis);
}

void tn6800fp_app::setCardLabel(const QString &text, const QString &whatsThis)
{
    setLine(cardLabel, text, whatsThis);
}

void tn6800fp_app::setDemoMode(bool demo)
{
    activeLed->setValue(demo ? 0 : 1);
}

void tn6800fp_app::showAutoscale(bool show)
{
    autoscaleLabel->setVisible(show);
    autoscaleButton->setVisible(show);
    if (show)
        resize(800, 600);
}

void tn6800fp_app::showIdentify(bool show)
{
    identifyLabel->setVisible(show);
    identifyButton->setVisible(show);
}

void tn6800fp_app::enterWIT()
{
    QWhatsThis::enterWhatsThisMode();
}

void tn6800fp_app::autoscaleToggledSlot(bool status)
{
    autoscaleButton->setText(status ? QStringLiteral("ON") : QStringLiteral("OFF"));
    emit autoscaleToggled(status);
}

void tn6800fp_app::identToggledSlot(bool status)
{
    identifyButton->setText(status ? QStringLiteral("ON") : QStringLiteral("OFF"));
    emit identToggled(status);
}

void tn6800fp_app::startToggledSlot(bool status)
{
    if (status) {
        startButton->setIcon(tn6800fp_icon(tn6800fp_stopPixmap()));
        tn6800fp_setHelp(startButton, QLatin1String(kBreakTip));
        startContButton->setEnabled(false);
        emit startSingle();
    } else {
        startButton->setIcon(tn6800fp_icon(tn6800fp_startPixmap()));
        tn6800fp_setHelp(startButton, QLatin1String(kStartTipAfterBreak));
        startButton->setEnabled(false);
        startContButton->setEnabled(false);
        emit breakSingle();
    }
}

void tn6800fp_app::startContToggledSlot(bool status)
{
    if (status) {
        startContButton->setIcon(tn6800fp_icon(tn6800fp_stopPixmap()));
        tn6800fp_setHelp(startContButton, QLatin1String(kStopContTip));
        startButton->setEnabled(false);
        emit startCont();
    } else {
        startContButton->setIcon(tn6800fp_icon(tn6800fp_continuousPixmap()));
        tn6800fp_setHelp(startContButton, QLatin1String(kContTip));
        startButton->setEnabled(false);
        startContButton->setEnabled(false);
        emit stopCont();
    }
}

void tn6800fp_app::enableStart()
{
    startContButton->setEnabled(true);
    startButton->setEnabled(true);
}

void tn6800fp_app::userBreak()
{
    if (startContButton->isChecked())
        startContButton->toggle();
    if (startButton->isChecked())
        startButton->toggle();
    startButton->setEnabled(true);
    startContButton->setEnabled(true);
}

void tn6800fp_app::closeEvent(QCloseEvent *event)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Orbana ") + QStringLiteral(" SFP"),
                    QStringLiteral("Do you really want to exit?"),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("exitQuestion"));
    if (box.exec() == QMessageBox::Yes)
        event->accept();
    else
        event->ignore();
}
