#include "tn6820fp_chset.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "tn6800fp_icons.h"
#include "tn6800fp_led.h"
#include "tn6800fp_messages.h"
#include "tn6800fp_widgets.h"
#include "tn6820fp_icons.h"
#include "tn6820fp_shapefile.h"

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
    arbitraryButton = waveButton(tn6820fp_arbitraryPixmap(), "arbitraryButton", "Arbitrary");
    tn6800fp_setHelp(arbitraryButton,
                     QStringLiteral("Selects an arbitrary waveform, one cycle read from a file "
                                    "(CSV or audio),\nto be generated on this channel. Hold "
                                    "Shift or Ctrl to choose another file"));
    top->addWidget(arbitraryButton);
    connect(arbitraryButton, &QPushButton::clicked, this, &tn6820fp_chSet::chooseArbitrary);
    // The arbitrary shape's file, on a line of its own once there is one.
    shapeLabel = new QLabel;
    shapeLabel->setObjectName(QStringLiteral("shapeFile"));
    shapeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    shapeLabel->hide();
    layout->insertWidget(1, shapeLabel);

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
    phase = new QDoubleSpinBox;
    phase->setObjectName(QStringLiteral("phase"));
    phase->setDecimals(1);
    phase->setRange(0, 359.9);
    phase->setSingleStep(0.1);
    phase->setSuffix(QStringLiteral("\u00b0"));
    phase->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    tn6800fp_setHelp(phase, QStringLiteral("Specifies the phase (in degrees) at which the "
                                           "waveform\nstarts on this channel, in whole samples"));
    bottom->addSpacing(30);
    bottom->addWidget(tn6800fp_fixedLabel(QStringLiteral("Phase")));
    bottom->addWidget(phase);
    waveform = WaveSine;
    connect(amplitude, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            &tn6820fp_chSet::changed);
    connect(offset, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            &tn6820fp_chSet::changed);
    connect(phase, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
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
double tn6820fp_chSet::phaseValue() const
{
    return phase->value();
}

tn6820fp_channelWave tn6820fp_chSet::wave(bool selected) const
{
    tn6820fp_channelWave w;
    w.selected = selected;
    w.waveform = waveform;
    w.amplitude = amplitude->value();
    w.offset = offset->value();
    w.phase = phase->value();
    w.shape = waveform == WaveArbitrary ? &arbitraryShape : nullptr;
    return w;
}

bool tn6820fp_chSet::loadShape(const QString &path)
{
    tn6820fp_shape read = tn6820fp_readShapeFile(path);
    if (!read.error.isEmpty()) {
        showWarning(QStringLiteral("The waveform was not changed. ") + read.error);
        return false;
    }
    arbitraryShape.swap(read.values);
    const QString name = QFileInfo(path).fileName();
    const QString elided = shapeLabel->fontMetrics().elidedText(
        name, Qt::ElideMiddle, 30 * shapeLabel->fontMetrics().averageCharWidth());
    shapeLabel->setText(QStringLiteral("%1, %2 samples").arg(elided).arg(arbitraryShape.size()));
    shapeLabel->show();
    shapeLabel->setToolTip(QFileInfo(path).absoluteFilePath());
    if (waveform == WaveArbitrary)
        emit changed();
    return true;
}

void tn6820fp_chSet::chooseArbitrary()
{
    const bool another =
        QApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (arbitraryShape.empty() || another) {
        static QString folder; // the last folder a shape came from, for this run
        QFileDialog dialog(this, QStringLiteral("Arbitrary Waveform"), folder,
                           QStringLiteral("Waveforms (*.csv *.txt *.wav *.flac *.aif *.aiff "
                                          "*.au *.caf *.ogg);;All files (*)"));
        dialog.setObjectName(QStringLiteral("shapeFileDialog"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        const bool chosen = dialog.exec() == QDialog::Accepted &&
                            !dialog.selectedFiles().isEmpty() &&
                            loadShape(dialog.selectedFiles().first());
        if (chosen)
            folder = dialog.directory().absolutePath();
        if (!chosen || waveform == WaveArbitrary) {
            // Nothing chosen: as before. A new file for the chosen shape: kept chosen.
            arbitraryButton->setChecked(waveform == WaveArbitrary);
            return;
        }
        arbitraryButton->setChecked(true);
    }
    setWave();
}

void tn6820fp_chSet::setWave()
{
    QPushButton *const buttons[] = {sineButton, squareButton, sawButton, triangleButton,
                                    arbitraryButton};
    for (int type = WaveSine; type <= WaveArbitrary; ++type) {
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
