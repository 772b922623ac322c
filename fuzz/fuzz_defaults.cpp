// Loading the remembered addresses from an arbitrary DefaultInstrDescr.ini,
// then remembering them again: no crash, and every value the dialog offers
// stays within its selectors.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "tn6800fp_fcenteraddress.h"
#include "tn6800fp_genfc.h"

namespace {

class FuzzCard : public tn6800fp_genFC
{
public:
    explicit FuzzCard(int model) : tn6800fp_genFC(model) {}
    bool supportsModel(quint16) const override { return false; }
    QString description() const override { return QString(); }
    QString noticeText() const override { return QString(); }
    QString softwareVersion() const override { return QString(); }
    QString driverRevision() const override { return QString(); }
    QString errorMessage(ViStatus) const override { return QString(); }
    ViStatus open(const char *, const qint16 *, ViBoolean, ViBoolean, ViSession *) override
    {
        return -1;
    }
    ViStatus openAndRemember(const char *, const qint16 *, qint16, ViBoolean, ViBoolean,
                             ViSession *) override
    {
        return -1;
    }
    ViStatus reopen(ViSession *) override { return -1; }
    ViStatus close(ViSession) override { return 0; }
    ViStatus reset(ViSession) override { return 0; }
};

QTemporaryDir *g_dir = nullptr; // removed at exit

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    static QTemporaryDir dir;
    g_dir = &dir;
    qputenv("ALLUSERSPROFILE", g_dir->path().toLocal8Bit());
    QDir().mkpath(g_dir->path() + QStringLiteral("/Morvix"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first byte picks a single-card or a multi-card model.
    FuzzCard card(size > 0 && (data[0] & 1) ? 0x6904 : 0x6820);
    const QString path = g_dir->path() + QStringLiteral("/Morvix/DefaultInstrDescr.ini");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    tn6800fp_fcEnterAddress dialog(&card);
    dialog.loadDefaults();
    const int rows = dialog.multiCard() ? 8 : 1;
    for (int i = 0; i < rows; ++i) {
        const tn6800fp_fcEnterAddressFc *row = dialog.row(i);
        const int number = row->cardNumberSelector->currentIndex();
        if (number < 0 || number > 8 || row->descriptorSelector->count() > 5)
            std::abort();
    }
    const int count = dialog.countSelector()->currentIndex();
    if (count < 0 || count > 7)
        std::abort();
    QStringList descriptors;
    QList<int> numbers;
    dialog.readAddresses(descriptors, numbers);
    if (descriptors.size() != numbers.size() || descriptors.size() > rows)
        std::abort();
    for (int n : numbers) {
        if (n < 0 || n > 8)
            std::abort();
    }
    return 0;
}
