#include "tn6820fp_chset.h"
#include "tn6820fp_page.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "tn6800fp_icons.h"
#include "tn6800fp_led.h"
#include "tn6800fp_widgets.h"
#include "tn6820fp_lastfolder.h"

namespace {

QPushButton *waveButton(const tn6820fp_waveformInfo &w)
{
    auto *b = new QPushButton;
    b->setObjectName(QLatin1String(w.buttonName));
    b->setCheckable(true);
    const QPixmap icon(w.picture);
    b->setIcon(tn6800fp_icon(icon));
    b->setIconSize(icon.size());
    const QLatin1String what(w.title);
    const QString tip =
        QStringLiteral("Selects the %1 waveform to be generated on this channel").arg(what);
    tn6800fp_setHelp(b, tip);
    b->setAccessibleName(QStringLiteral("%1 waveform").arg(what));
    b->setAccessibleDescription(tip);
    return b;
}

QDoubleSpinBox *voltBox(const char *name, const QString &tip)
{
    auto *box = new QDoubleSpinBox;
    box->setObjectName(QLatin1String(name));
    // Decimals first: every change of them formats the range's limits again.
    box->setDecimals(tn6820fp_voltDecimals);
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
    for (int i = 0; i < tn6820fp_waveformCount; ++i) {
        QPushButton *b = waveButton(tn6820fp_waveforms[i]);
        m_buttons[i] = b;
        top->addWidget(b);
        if (tn6820fp_waveforms[i].unitCycle)
            connect(b, &QPushButton::clicked, this, &tn6820fp_chSet::setWave);
    }
    sineButton = m_buttons[WaveSine - 1];
    squareButton = m_buttons[WaveSquare - 1];
    sawButton = m_buttons[WaveSaw - 1];
    triangleButton = m_buttons[WaveTriangle - 1];
    arbitraryButton = m_buttons[WaveArbitrary - 1];
    sineButton->setChecked(true);
    tn6800fp_setHelp(arbitraryButton,
                     QStringLiteral("Selects an arbitrary waveform, one cycle read from a file "
                                    "(CSV or audio),\nto be generated on this channel. Hold "
                                    "Shift or Ctrl to choose another file"));
    connect(arbitraryButton, &QPushButton::clicked, this, &tn6820fp_chSet::chooseArbitrary);
    // The arbitrary shape's file, on a line of its own once there is one.
    shapeLabel = new QLabel;
    shapeLabel->setObjectName(QStringLiteral("shapeFile"));
    shapeLabel->setTextFormat(Qt::PlainText);
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
    phase->setDecimals(tn6820fp_phaseDecimals);
    phase->setRange(0, tn6820fp_maxPhase);
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

void tn6820fp_chSet::setShapeReader(std::function<bool(const QString &path)> reader)
{
    m_readShape = std::move(reader);
}

bool tn6820fp_chSet::loadShape(const QString &path)
{
    return m_readShape && m_readShape(path);
}

void tn6820fp_chSet::showShape(const QString &file, int count)
{
    m_hasShape = count > 0;
    if (!m_hasShape) {
        shapeLabel->hide();
        shapeLabel->clear();
        return;
    }
    // The name is the file's or a setup's: plain text, never markup. Elided
    // in the tab, whole in the tooltip, which would read markup, so it is
    // escaped there.
    const QString elided = shapeLabel->fontMetrics().elidedText(
        file, Qt::ElideMiddle, 30 * shapeLabel->fontMetrics().averageCharWidth());
    shapeLabel->setText(QStringLiteral("%1, %2 samples").arg(elided).arg(count));
    shapeLabel->setToolTip(
        QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(file.toHtmlEscaped()));
    shapeLabel->show();
}

void tn6820fp_chSet::chooseArbitrary()
{
    const bool another =
        QApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (!m_hasShape || another) {
        const QString path = tn6820fp_chooseFile(
            this, QStringLiteral("shapes"), QStringLiteral("Arbitrary Waveform"),
            QStringLiteral("Waveforms (*.csv *.txt *.wav *.flac *.aif *.aiff *.au *.caf "
                           "*.ogg);;All files (*)"),
            "shapeFileDialog");
        const bool chosen = !path.isEmpty() && loadShape(path);
        if (!chosen || waveform == WaveArbitrary) {
            // Nothing chosen: as before. A new file for the chosen shape: kept chosen.
            arbitraryButton->setChecked(waveform == WaveArbitrary);
            return;
        }
        arbitraryButton->setChecked(true);
    }
    setWave();
}

void tn6820fp_chSet::setWaveform(int kind)
{
    if (kind == waveform)
        return;
    for (int i = 0; i < tn6820fp_waveformCount; ++i)
        m_buttons[i]->setChecked(tn6820fp_waveforms[i].kind == kind);
    waveform = tn6820fp_waveformOf(kind) ? kind : int(WaveNone);
    emit changed();
}

void tn6820fp_chSet::setWave()
{
    for (int i = 0; i < tn6820fp_waveformCount; ++i) {
        const int kind = tn6820fp_waveforms[i].kind;
        if (m_buttons[i]->isChecked() && waveform != kind) {
            waveform = kind;
            for (QPushButton *other : m_buttons) {
                if (other != m_buttons[i])
                    other->setChecked(false);
            }
            emit changed();
            return;
        }
    }
    waveform = WaveNone;
    emit changed();
}
