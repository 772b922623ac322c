#ifndef TN6820FP_COMSET_H
#define TN6820FP_COMSET_H

#include <QGroupBox>

class QComboBox;
class QSpinBox;

// The settings common to all DAC channels: frequency and output filter.
class tn6820fp_comSet : public QGroupBox
{
    Q_OBJECT
public:
    explicit tn6820fp_comSet(const QString &title);

    int frequency() const;
    // 0 "200Hz", 1 "2kHz", 2 "20kHz", 3 "Bypass": the driver's filter code.
    int filterIndex() const;

    QComboBox *filterBox;
    QSpinBox *freqBox;
};

#endif
