#ifndef TN6800FP_FCENTERADDRESS_H
#define TN6800FP_FCENTERADDRESS_H

#include <QDialog>
#include <QList>
#include <QStringList>

class QComboBox;
class tn6800fp_genFC;

// One address row: the VISA descriptor (typed or chosen from the remembered
// ones) and the card's number in its carrier.
class tn6800fp_fcEnterAddressFc : public QWidget
{
    Q_OBJECT
public:
    explicit tn6800fp_fcEnterAddressFc(tn6800fp_genFC *card);

    QComboBox *descriptorSelector;
    QComboBox *cardNumberSelector; // index 0 "Select", 1..8 "FC 1".."FC 8"
};

// The dialog in which the user types where the card is. What is entered is
// remembered in DefaultInstrDescr.ini, one group per card model, and offered
// again; the dialog itself checks nothing.
class tn6800fp_fcEnterAddress : public QDialog
{
    Q_OBJECT
public:
    explicit tn6800fp_fcEnterAddress(tn6800fp_genFC *card);

    // Fills the rows and the count from the file.
    void loadDefaults();
    // Remembers every row in the file (on disk when this returns), then gives
    // the descriptor and card number of each row within the count.
    void readAddresses(QStringList &descriptors, QList<int> &cardNumbers);

    QString iniPath() const { return m_iniPath; }
    bool multiCard() const { return m_rows[1] != nullptr; }
    tn6800fp_fcEnterAddressFc *row(int index) const { return m_rows[index]; }
    QComboBox *countSelector() const { return m_countSelector; }

public slots:
    void countChanged();

private:
    tn6800fp_fcEnterAddressFc *m_rows[8] = {};
    QString m_group;
    QString m_iniPath;
    QComboBox *m_countSelector;
};

#endif
