#include "tn6800fp_fcenteraddress.h"
#include "tn6800fp_savefile.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <atomic>
#include <cstdio>

#include "tn6800fp_addressdefaults.h"
#include "tn6800fp_genfc.h"
#include "tn6800fp_icons.h"

namespace {

QString defaultsFilePath()
{
#ifdef Q_OS_WIN
    const bool windows = true;
#else
    const bool windows = false;
#endif
    return tn6800fp_defaultsFilePath(
        qEnvironmentVariable("ALLUSERSPROFILE"),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation), windows);
}

} // namespace

bool tn6800fp_addressRows::operator==(const tn6800fp_addressRows &other) const
{
    for (int i = 0; i < 8; ++i) {
        if (fcNumbers[i] != other.fcNumbers[i])
            return false;
        for (int slot = 0; slot < 5; ++slot) {
            if (descriptors[i][slot] != other.descriptors[i][slot])
                return false;
        }
    }
    return fcCount == other.fcCount;
}

QString tn6800fp_unwritableReason(const QString &filePath)
{
    const QFileInfo file(filePath);
    // The nearest part of the path that exists tells what is in the way.
    QFileInfo existing(file.absolutePath());
    while (!existing.exists() && !existing.isRoot() &&
           existing.absoluteFilePath() != existing.absolutePath())
        existing = QFileInfo(existing.absolutePath());
    if (!existing.isDir())
        return QStringLiteral("%1 is a file, not a folder").arg(existing.absoluteFilePath());
    if (file.isDir())
        return QStringLiteral("%1 is a folder, not a file").arg(file.absoluteFilePath());
    if (file.exists() && !file.isReadable())
        return file.isWritable() ? QStringLiteral("the file cannot be read")
                                 : QStringLiteral("the file can be neither read nor written");
    if (file.exists() && !file.isWritable())
        return QStringLiteral("the file is read-only");
    if (!existing.isWritable())
        return QStringLiteral("the folder %1 is read-only").arg(existing.absoluteFilePath());
    return QStringLiteral("it could not be written");
}

void tn6800fp_reportUnwritableDefaults(const QString &filePath, const QString &why)
{
    static std::atomic<bool> reported{false};
    if (reported.exchange(true))
        return;
    const QByteArray line = QStringLiteral("tn6820fp: cannot remember the addresses in %1: %2\n")
                                .arg(QDir::toNativeSeparators(filePath), why)
                                .toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

tn6800fp_fcEnterAddressFc::tn6800fp_fcEnterAddressFc(tn6800fp_genFC *)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *line1 = new QHBoxLayout;
    line1->addWidget(new QLabel(QStringLiteral("Instrument Descriptor:")));
    descriptorSelector = new QComboBox;
    descriptorSelector->setObjectName(QStringLiteral("descriptorSelector"));
    descriptorSelector->setEditable(true);
    descriptorSelector->setInsertPolicy(QComboBox::NoInsert);
    descriptorSelector->setMinimumWidth(20 * QFontMetrics(font()).height());
    descriptorSelector->setToolTip(
        QStringLiteral("Enter the Instrument descriptor for the Function Card you want to connect "
                       "to.<br>Examples:<br><b>VXI0::1::INSTR</b> - VXI mainframe 0, Module with "
                       "Logical Address 1<br><b>TCPIP::%1::INSTR</b> - Network Instrument with "
                       "IP Address %1")
            .arg(tn6800fp_exampleAddress()));
    line1->addWidget(descriptorSelector, 1);
    auto *line2 = new QHBoxLayout;
    line2->addWidget(new QLabel(QStringLiteral("Function Card Number:")));
    cardNumberSelector = new QComboBox;
    cardNumberSelector->setObjectName(QStringLiteral("cardNumberSelector"));
    cardNumberSelector->addItem(QStringLiteral("Select"));
    for (int n = 1; n <= 8; ++n)
        cardNumberSelector->addItem(QStringLiteral("FC %1").arg(n));
    cardNumberSelector->setToolTip(QStringLiteral("Select the Function Card Number"));
    line2->addWidget(cardNumberSelector);
    line2->addStretch();
    layout->addLayout(line1);
    layout->addLayout(line2);
}

tn6800fp_fcEnterAddress::tn6800fp_fcEnterAddress(tn6800fp_genFC *card)
{
    setObjectName(QStringLiteral("enterAddressDialog"));
    m_iniPath = defaultsFilePath();
    m_group = tn6800fp_modelString(card->modelCode);
    const bool multi = m_group == QLatin1String("6904") || m_group == QLatin1String("6912");
    setWindowTitle(QStringLiteral("Orbana ") + m_group +
                   (multi ? QStringLiteral(" SFP: Enter Addresses of Function Cards")
                          : QStringLiteral(" SFP: Enter Function Card Address")));
    setWindowIcon(tn6800fp_icon(tn6800fp_windowPixmap()));

    m_countSelector = new QComboBox(this);
    m_countSelector->setObjectName(QStringLiteral("countSelector"));
    for (int n = 1; n <= 8; ++n)
        m_countSelector->addItem(QString::number(n));
    m_countSelector->setVisible(multi);

    auto *bottom = new QHBoxLayout;
    if (multi) {
        bottom->addWidget(new QLabel(QStringLiteral("Count: ")));
        bottom->addWidget(m_countSelector);
    }
    bottom->addStretch();
    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setAutoDefault(false);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *main = new QVBoxLayout;
    for (int i = 0; i < 8; ++i) {
        if (i == 0 || multi) {
            m_rows[i] = new tn6800fp_fcEnterAddressFc(card);
            m_rows[i]->setObjectName(QStringLiteral("addressRow%1").arg(i + 1));
            main->addWidget(m_rows[i]);
            main->addSpacing(10);
        }
    }
    main->addLayout(bottom);
    setLayout(main);
    connect(m_countSelector, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &tn6800fp_fcEnterAddress::countChanged);
    countChanged();
}

void tn6800fp_fcEnterAddress::countChanged()
{
    const int count = m_countSelector->currentIndex() + 1;
    for (int i = 0; i < 8 && m_rows[i]; ++i)
        m_rows[i]->setEnabled(i + 1 <= count);
    adjustSize();
}

tn6800fp_addressRows tn6800fp_fcEnterAddress::readFile() const
{
    tn6800fp_addressRows rows;
    QSettings ini(m_iniPath, QSettings::IniFormat);
    ini.beginGroup(m_group);
    for (int i = 0; i < 8 && m_rows[i]; ++i) {
        const int n = i + 1;
        for (int slot = 1; slot <= 5; ++slot)
            rows.descriptors[i][slot - 1] =
                ini.value(QStringLiteral("%1.%2.Descriptor").arg(n).arg(slot)).toString();
        rows.fcNumbers[i] =
            ini.value(QStringLiteral("%1.FC_Number").arg(n), QStringLiteral("0")).toString();
    }
    rows.fcCount = ini.value(QStringLiteral("FC_Count"), QStringLiteral("1")).toString();
    ini.endGroup();
    return rows;
}

void tn6800fp_fcEnterAddress::loadDefaults()
{
    tn6800fp_addressRows rows = readFile();
    // What the user entered in this run wins over a file that does not hold
    // it because it could not be written or read back.
    if (m_entered && !(rows == *m_entered))
        rows = *m_entered;
    for (int i = 0; i < 8 && m_rows[i]; ++i) {
        const int n = i + 1;
        QComboBox *descriptors = m_rows[i]->descriptorSelector;
        descriptors->clear();
        for (int slot = 1; slot <= 5; ++slot) {
            const QString &d = rows.descriptors[i][slot - 1];
            if (!d.isEmpty())
                descriptors->addItem(d);
            else if (slot == 1 && n == 1)
                descriptors->addItem(tn6800fp_defaultDescriptor());
        }
        descriptors->setCurrentIndex(descriptors->count() > 0 ? 0 : -1);
        descriptors->setEditText(descriptors->count() > 0 ? descriptors->itemText(0) : QString());
        m_rows[i]->cardNumberSelector->setCurrentIndex(
            tn6800fp_storedCardNumberIndex(rows.fcNumbers[i]));
    }
    m_countSelector->setCurrentIndex(tn6800fp_storedCountIndex(rows.fcCount));
}

void tn6800fp_fcEnterAddress::readAddresses(QStringList &descriptors, QList<int> &cardNumbers)
{
    descriptors.clear();
    cardNumbers.clear();
    tn6800fp_addressRows rows;
    const int count = m_countSelector->currentIndex() + 1;
    for (int i = 0; i < 8 && m_rows[i]; ++i) {
        const int n = i + 1;
        QComboBox *selector = m_rows[i]->descriptorSelector;
        QStringList items;
        for (int k = 0; k < selector->count(); ++k)
            items << selector->itemText(k);
        const QString current = selector->currentText();
        const QStringList remembered = tn6800fp_rememberedDescriptors(current, items);
        for (int slot = 1; slot <= 5; ++slot)
            rows.descriptors[i][slot - 1] = remembered.value(slot - 1);
        const int number = m_rows[i]->cardNumberSelector->currentIndex();
        rows.fcNumbers[i] = QString::number(number);
        if (n <= count) {
            descriptors << current;
            cardNumbers << number;
        }
    }
    rows.fcCount = QString::number(count);
    m_entered.reset(new tn6800fp_addressRows(rows));

    // Written whole or not at all: a full disk leaves the old file as it was.
    QList<QPair<QString, QString>> keys;
    for (int i = 0; i < 8 && m_rows[i]; ++i) {
        const int n = i + 1;
        for (int slot = 1; slot <= 5; ++slot)
            keys.append({QStringLiteral("%1.%2.Descriptor").arg(n).arg(slot),
                         rows.descriptors[i][slot - 1]});
        keys.append({QStringLiteral("%1.FC_Number").arg(n), rows.fcNumbers[i]});
    }
    keys.append({QStringLiteral("FC_Count"), rows.fcCount});
    // The other cards' groups are kept: the file is read first.
    QFile old(m_iniPath);
    QByteArray text;
    const bool readable = !old.exists() || old.open(QIODevice::ReadOnly);
    if (readable && old.isOpen())
        text = old.readAll();
    QString why = QStringLiteral("it could not be written");
    if (readable && QDir().mkpath(QFileInfo(m_iniPath).absolutePath()))
        why = tn6800fp_saveFile(m_iniPath, tn6800fp_iniWithGroup(text, m_group, keys));
    if (!why.isEmpty()) {
        // What is in the way, in the few words that say it best: the path's
        // (a folder, a read-only file) or else the system's (a full disk).
        const QString inTheWay = tn6800fp_unwritableReason(m_iniPath);
        tn6800fp_reportUnwritableDefaults(
            m_iniPath, inTheWay == QLatin1String("it could not be written") ? why : inTheWay);
    }
}
