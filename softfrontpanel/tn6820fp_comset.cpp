#include "tn6820fp_comset.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

#include "tn6800fp_widgets.h"
#include "tn6820fp_settings.h"

tn6820fp_comSet::tn6820fp_comSet(const QString &title) : QGroupBox(title)
{
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(tn6800fp_fixedLabel(QStringLiteral("Frequency")));
    freqBox = new QSpinBox;
    freqBox->setObjectName(QStringLiteral("freqBox"));
    freqBox->setRange(tn6820fp_minFrequency, tn6820fp_maxFrequency);
    freqBox->setSuffix(QStringLiteral(" Hz"));
    freqBox->setValue(1000);
    const QString freqTip =
        QStringLiteral("Select the waveform frequency.\nThe frequency value is common for all DAC "
                       "channels.\nValues should be in the range 50KHz - 1Hz");
    tn6800fp_setHelp(freqBox, freqTip);
    layout->addWidget(freqBox);
    layout->addSpacing(30);
    layout->addWidget(tn6800fp_fixedLabel(QStringLiteral("Filter")));
    filterBox = new QComboBox;
    filterBox->setObjectName(QStringLiteral("filterBox"));
    for (const char *name : tn6820fp_filterNames)
        filterBox->addItem(QLatin1String(name));
    filterBox->setFocusPolicy(Qt::NoFocus);
    filterBox->setCurrentIndex(2);
    const QString filterTip = QStringLiteral(
        "Selects a filter value for the DAC output filters.\nThe filter value is common for all "
        "DAC channels.\nSelectable Values : 200Hz, 2KHz, 20KHz, Bypass");
    tn6800fp_setHelp(filterBox, filterTip);
    layout->addWidget(filterBox);
}

int tn6820fp_comSet::frequency() const
{
    return freqBox->value();
}
int tn6820fp_comSet::filterIndex() const
{
    return filterBox->currentIndex();
}
