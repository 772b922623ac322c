#ifndef TN6800FP_FCENTERADDRESS_H
#define TN6800FP_FCENTERADDRESS_H

#include <QDialog>
#include <QList>
#include <QStringList>
#include <memory>

class QComboBox;
class tn6800fp_genFC;

// The values of DefaultInstrDescr.ini for one card model, as stored.
struct tn6800fp_addressRows
{
    QString descriptors[8][5];
    QString fcNumbers[8];
    QString fcCount;
    bool operator==(const tn6800fp_addressRows &other) const;
};

// Why the file cannot be written, in a few words ("... is a file, not a folder").
QString tn6800fp_unwritableReason(const QString &filePath);
// One line on standard error naming the file and the reason; once per run.
void tn6800fp_reportUnwritableDefaults(const QString &filePath, const QString &why);

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

    // Fills the rows and the count from the file; after readAddresses(), from
    // what was entered when the file does not hold it.
    void loadDefaults();
    // Remembers every row in the file (on disk when this returns), then gives
    // the descriptor and card number of each row within the count. A file that
    // cannot be written is said once per run on standard error.
    void readAddresses(QStringList &descriptors, QList<int> &cardNumbers);

    QString iniPath() const { return m_iniPath; }
    bool multiCard() const { return m_rows[1] != nullptr; }
    tn6800fp_fcEnterAddressFc *row(int index) const { return m_rows[index]; }
    QComboBox *countSelector() const { return m_countSelector; }

public slots:
    void countChanged();

private:
    tn6800fp_addressRows readFile() const;

    tn6800fp_fcEnterAddressFc *m_rows[8] = {};
    std::unique_ptr<tn6800fp_addressRows> m_entered; // what readAddresses() last wrote
    QString m_group;
    QString m_iniPath;
    QComboBox *m_countSelector;
};

#endif
