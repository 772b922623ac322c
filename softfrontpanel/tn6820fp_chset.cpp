#include "tn6820fp_chset.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "tn6800fp_icons.h"
#include "tn6800fp_led.h"
#include "tn6800fp_widgets.h"
#include "tn6820fp_icons.h"

namespace {

QPushButton *waveButton(const QPixmap &icon, const char *name, const char *what)
{
    auto *b = new QPushButton;
    b->setObjectName(QLatin1String(name));
    b->setCheckable(true);
    b->setIcon(tn6800fp_icon(icon));
    b->setIconSize(icon.size());
    const QString tip = QStringLiteral("Selects the %1 waveform to be generated on this channel")
                            .arg(QLatin1String(what));
    tn6800fp_setHelp(b, tip);
    b->setAccessibleName(QStringLiteral("%1 waveform").arg(QLatin1String(what)));
    b->setAccessibleDescription(tip);
    return b;
}

QDoubleSpinBox *voltBox(const char *name, const QString &tip)
{
    auto *box = new QDoubleSpinBox;
    box->setObjectName(QLatin1String(name));
    // Decimals first: every change of them formats the range's limits again.
    box->setDecimals(2);
    box->setRange(-1e100, 1e100);
    box->setSingleStep(1.0);
    box->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    tn6800fp_setHelp(box, tip);
    return box;
}

} // namespace

tn6820fp_chSet::tn6820fp_chSet()
{
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *bottom = new QHBoxLayout;
    layout->addLayout(top);
    layout->addLayout(bottom);

    led = new tn6800fp_led(QString(), Qt::green, Qt::magenta);
    led->setObjectName(QStringLiteral("channelLed"));
    led->setAccessibleName(QStringLiteral("Channel output"));
    led->setWhatsThis(QStringLiteral("Indicates whether the waveform is being generated on this "
                                     "channel"));
    top->addWidget(led);
    top->addStretch();
    sineButton = waveButton(tn6820fp_sinePixmap(), "sineButton", "Sine");
    squareButton = waveButton(tn6820fp_squarePixmap(), "squareButton", "Square");
    sawButton = waveButton(tn6820fp_sawPixmap(), "sawButton", "Saw");
    triangleButton = waveButton(tn6820fp_trianglePixmap(), "triangleButton", "Triangle");
    sineButton->setChecked(true);
    for (QPushButton *b : {sineButton, squareButton, sawButton, triangleButton}) {
        top->addWidget(b);
        connect(b, &QPushButton::clicked, this, &tn6820fp_chSet::setWave);
    }

    amplitude = voltBox("amplitude", QStringLiteral("Specifies amplitude (in Volts) of the "
                                                    "waveform\nto be generated on this channel"));
    offset = voltBox("offset", QStringLiteral("Specifies offset (in Volts) of the waveform\nto be "
                                              "generated on this channel"));
    offset->setValue(0);
    bottom->addWidget(tn6800fp_fixedLabel(QStringLiteral("Amplitude")));
    bottom->addWidget(amplitude);
    bottom->addSpacing(30);
    bottom->addWidget(tn6800fp_fixedLabel(QStringLiteral("Offset")));
    bottom->addWidget(offset);
    waveform = WaveSine;
    connect(amplitude, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            &tn6820fp_chSet::changed);
    connect(offset, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            &tn6820fp_chSet::changed);
}

double tn6820fp_chSet::offsetValue() const
{
    return offset->value();
}
double tn6820fp_chSet::amplitudeValue() const
{
    return amplitude->value();
}

void tn6820fp_chSet::setWave()
{
    QPushButton *const buttons[] = {sineButton, squareButton, sawButton, triangleButton};
    for (int type = WaveSine; type <= WaveTriangle; ++type) {
        if (buttons[type - 1]->isChecked() && waveform != type) {
            waveform = type;
            for (QPushButton *other : buttons) {
                if (other != buttons[type - 1])
                    other->setChecked(false);
            }
            emit changed();
            return;
        }
    }
    waveform = WaveNone;
    emit changed();
}
