#include "tn6820fp_chset.h"
#include "tn6820fp_page.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
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

QDoubleSpinBox *shareBox(const char *name, const QString &tip)
{
    auto *box = new QDoubleSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setDecimals(tn6820fp_shareDecimals);
    box->setRange(0, 100);
    box->setSingleStep(1.0);
    box->setSuffix(QStringLiteral("%"));
    box->setValue(50);
    box->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    tn6800fp_setHelp(box, tip);
    return box;
}

const char *const kFormulaHelp =
    "One cycle of this channel's waveform written as a formula of x, the position\n"
    "in the channel's cycle from 0 (inclusive) to 1 (exclusive). Its value plays as\n"
    "a built-in shape's does: amplitude times value plus offset, so sin(2*pi*x) is a\n"
    "sine of the amplitude asked for. Decimals take a point (0.5).\n"
    "Names: pi and e; f, the channel's real frequency in hertz (time is x / f);\n"
    "n and N, the sample's index in the cycle and the samples per cycle (n = x * N).\n"
    "Functions: sin, cos, tan, asin, acos, atan, sinh, cosh, tanh, exp, ln and log\n"
    "(both natural), log10, log2, sqrt, pow(a, b) or a^b, abs, min, max, sign,\n"
    "floor, ceil, round, rint, mod(a, b); comparisons and condition ? a : b.\n"
    "Examples:\n"
    "  sin(2*pi*x) + 0.3*sin(6*pi*x)    a sine and its third harmonic\n"
    "  x < 0.25 ? 1 : -1                a pulse a quarter of the cycle long\n"
    "  exp(-5*x) * sin(2*pi*10*x)       ten cycles of a dying ring\n"
    "A formula that does not parse is named with its place below the field; the\n"
    "channel plays its last valid formula meanwhile, and Start refuses.";

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
        if (tn6820fp_waveforms[i].kind != WaveArbitrary)
            connect(b, &QPushButton::clicked, this, &tn6820fp_chSet::setWave);
    }
    sineButton = m_buttons[WaveSine - 1];
    squareButton = m_buttons[WaveSquare - 1];
    sawButton = m_buttons[WaveSaw - 1];
    triangleButton = m_buttons[WaveTriangle - 1];
    arbitraryButton = m_buttons[WaveArbitrary - 1];
    formulaButton = m_buttons[WaveFormula - 1];
    sineButton->setChecked(true);
    tn6800fp_setHelp(formulaButton,
                     QStringLiteral("Selects a waveform written as a formula of x, the "
                                    "position in the cycle,\nto be generated on this channel"));
    formulaButton->setWhatsThis(QLatin1String(kFormulaHelp));
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

    // The shape's own settings, on a line under the buttons: a square's duty
    // cycle or a triangle's symmetry, and the multiple of every shape.
    auto *details = new QHBoxLayout;
    layout->insertLayout(1, details);
    duty = shareBox("duty", QStringLiteral("Specifies the share of the square's cycle spent "
                                           "high (duty cycle),\nin whole samples"));
    symmetry =
        shareBox("symmetry", QStringLiteral("Specifies the share of the triangle's cycle spent "
                                            "rising (symmetry):\n100% a rising ramp, 0% a "
                                            "falling one, in whole samples"));
    m_dutyRow[0] = tn6800fp_fixedLabel(QStringLiteral("Duty"));
    m_dutyRow[1] = duty;
    m_symmetryRow[0] = tn6800fp_fixedLabel(QStringLiteral("Symmetry"));
    m_symmetryRow[1] = symmetry;
    for (QWidget *w : {m_dutyRow[0], m_dutyRow[1], m_symmetryRow[0], m_symmetryRow[1]})
        details->addWidget(w);
    details->addStretch();
    multiple = new QSpinBox;
    multiple->setObjectName(QStringLiteral("multiple"));
    multiple->setRange(1, tn6820fp_maxMultiple);
    multiple->setPrefix(QStringLiteral("\u00d7"));
    multiple->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    tn6800fp_setHelp(multiple,
                     QStringLiteral("Specifies how many whole cycles of its waveform this channel "
                                    "plays\nin one cycle of the common frequency: it runs at "
                                    "that multiple\nof the frequency, in step with the other "
                                    "channels"));
    details->addWidget(tn6800fp_fixedLabel(QStringLiteral("Multiple")));
    details->addWidget(multiple);

    // The formula, on a line of its own, and why it does not play below it.
    m_formulaRow = new QWidget;
    auto *formulaLine = new QHBoxLayout(m_formulaRow);
    formulaLine->setContentsMargins(0, 0, 0, 0);
    formula = new QLineEdit;
    formula->setObjectName(QStringLiteral("formula"));
    formula->setMaxLength(tn6820fp_maxFormulaLength);
    formula->setText(QLatin1String(tn6820fp_initialFormula));
    formula->setToolTip(QStringLiteral("The formula of x (0 to 1 over the cycle) this channel "
                                       "plays; see What's This for its names"));
    formula->setWhatsThis(QLatin1String(kFormulaHelp));
    formula->setAccessibleName(QStringLiteral("Formula"));
    formulaLine->addWidget(tn6800fp_fixedLabel(QStringLiteral("f(x) =")));
    formulaLine->addWidget(formula, 1);
    layout->insertWidget(2, m_formulaRow);
    formulaProblem = new QLabel;
    formulaProblem->setObjectName(QStringLiteral("formulaProblem"));
    formulaProblem->setTextFormat(Qt::PlainText);
    formulaProblem->setWordWrap(true);
    QPalette warn = formulaProblem->palette();
    warn.setColor(QPalette::WindowText, QColor(0xc6, 0x28, 0x28));
    formulaProblem->setPalette(warn);
    formulaProblem->hide();
    layout->insertWidget(3, formulaProblem);
    connect(formula, &QLineEdit::textEdited, this, &tn6820fp_chSet::formulaEdited);

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
    for (QDoubleSpinBox *box : {duty, symmetry})
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &tn6820fp_chSet::changed);
    connect(multiple, QOverload<int>::of(&QSpinBox::valueChanged), this, &tn6820fp_chSet::changed);
    connect(this, &tn6820fp_chSet::changed, this, &tn6820fp_chSet::showWaveformControls);
    showWaveformControls();
}

void tn6820fp_chSet::showWaveformControls()
{
    for (QWidget *w : m_dutyRow)
        w->setVisible(waveform == WaveSquare);
    for (QWidget *w : m_symmetryRow)
        w->setVisible(waveform == WaveTriangle);
    m_formulaRow->setVisible(waveform == WaveFormula);
    formulaProblem->setVisible(waveform == WaveFormula && !formulaProblem->text().isEmpty());
}

void tn6820fp_chSet::showFormula(const QString &text, const QString &why)
{
    if (formula->text() != text)
        formula->setText(text);
    showFormulaProblem(why);
}

void tn6820fp_chSet::showFormulaProblem(const QString &why)
{
    formulaProblem->setText(why);
    showWaveformControls();
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
