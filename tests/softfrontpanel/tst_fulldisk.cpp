// Every file the program writes, on a file system that is really full and on
// one that fills in the middle of the write: the old file stays exactly as it
// was, and the user is told the system's reason with the file's full path.
// The file system is a small tmpfs mounted in a mount namespace of its own:
// the cases run in a child that unshare starts; where no namespace can be
// made, the test says so and skips.
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include "panelfixture.h"
#include "testcard.h"
#include "tn6800fp_addressdefaults.h"
#include "tn6800fp_calllog.h"
#include "tn6800fp_calllogwindow.h"
#include "tn6800fp_fcenteraddress.h"
#include "tn6820fp_main.h"

namespace {

const QByteArray kOld = "the old file, which must survive\n";

// "No space left on device", in the language of the locale.
QString noSpace()
{
    return QString::fromLocal8Bit(std::strerror(ENOSPC));
}

// Fills the file system of dir, then frees free bytes again (0: none).
bool fill(const QString &dir, qint64 free)
{
    const QByteArray path = QFile::encodeName(dir + QStringLiteral("/filler"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const QByteArray block(4096, 'f');
    qint64 size = 0;
    for (;;) {
        const ssize_t n = ::write(fd, block.constData(), std::size_t(block.size()));
        if (n <= 0)
            break;
        size += n;
    }
    const bool full = errno == ENOSPC;
    const bool freed = ::ftruncate(fd, size - free) == 0;
    ::close(fd);
    return full && freed;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Chooses path in the next file dialog; the file is there, and replacing it
// is what the test wants, so the dialog does not ask.
std::function<void(QWidget *)> choose(const QString &path)
{
    return [path](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QVERIFY(dialog);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        sfptest::child<QLineEdit>(dialog, QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog *>(dialog)->accept();
    };
}

} // namespace

class tst_fulldisk : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void inOwnNamespace();
    void init();
    void cleanup();
    void nothingDestroyed_data();
    void nothingDestroyed();

private:
    QTemporaryDir m_mount;
    bool m_mounted = false;
};

static bool inChild()
{
    return qEnvironmentVariable("SFP_OWN_MOUNT_NAMESPACE") == QLatin1String("1");
}

void tst_fulldisk::initTestCase()
{
    QVERIFY(m_mount.isValid());
}

// Runs the cases in a child with a mount namespace of its own.
void tst_fulldisk::inOwnNamespace()
{
    if (inChild())
        QSKIP("the child runs the cases themselves");
    QProcess probe;
    probe.start(QStringLiteral("unshare"),
                {QStringLiteral("--mount"), QStringLiteral("--propagation"),
                 QStringLiteral("private"), QStringLiteral("true")});
    if (!probe.waitForFinished(30000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0)
        QSKIP(qPrintable(QStringLiteral("no mount namespace can be made here, so the full-disk "
                                        "cases did not run (unshare: %1)")
                             .arg(QString::fromLocal8Bit(probe.readAllStandardError().trimmed()))));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SFP_OWN_MOUNT_NAMESPACE"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("unshare"),
                {QStringLiteral("--mount"), QStringLiteral("--propagation"),
                 QStringLiteral("private"), QCoreApplication::applicationFilePath(),
                 QStringLiteral("nothingDestroyed")});
    QVERIFY(child.waitForFinished(240000));
    const QByteArray out = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, out.constData());
    QCOMPARE(out.count("PASS   : tst_fulldisk::nothingDestroyed("), 9);
}

void tst_fulldisk::init()
{
    if (!inChild() || QTest::currentTestFunction() != QByteArray("nothingDestroyed"))
        return;
    const QByteArray at = QFile::encodeName(m_mount.path());
    m_mounted = ::mount("tmpfs", at.constData(), "tmpfs", 0, "size=1m,mode=0777") == 0;
    QVERIFY2(m_mounted, std::strerror(errno));
}

void tst_fulldisk::cleanup()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_mount.path()).constData(), MNT_DETACH);
    m_mounted = false;
}

void tst_fulldisk::nothingDestroyed_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<qint64>("free"); // bytes left before the write, each far below its size
    for (const char *writer :
         {"Save Setup", "Export C Program", "--export-c", "Driver Calls Save"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, disk full").arg(writer)))
            << QString::fromLatin1(writer) << qint64(0);
        QTest::newRow(qPrintable(QStringLiteral("%1, full in the middle").arg(writer)))
            << QString::fromLatin1(writer) << qint64(8192);
    }
    // The address file is smaller than a page of the file system: it fills at once.
    QTest::newRow("remembered addresses, disk full") << "addresses" << qint64(0);
}

void tst_fulldisk::nothingDestroyed()
{
    QFETCH(QString, writer);
    QFETCH(qint64, free);
    if (!inChild())
        QSKIP("runs in the child that inOwnNamespace starts");
    const QString target = m_mount.path() + QStringLiteral("/target.file");
    const QString fullPath = QFileInfo(target).absoluteFilePath();
    sfptest::writeFile(m_mount.path(), QStringLiteral("target.file"), kOld);
    QString said;
    const auto warning = [&said](QWidget *w) { said = sfptest::labelText(*w, "qt_msgbox_label"); };

    if (writer == QLatin1String("addresses")) {
        // The file lives in Morvix/ under ALLUSERSPROFILE.
        QVERIFY(QDir(m_mount.path()).mkpath(QStringLiteral("Morvix")));
        const QString file = sfptest::writeFile(m_mount.path() + QStringLiteral("/Morvix"),
                                                QStringLiteral("DefaultInstrDescr.ini"), kOld);
        qputenv("ALLUSERSPROFILE", QFile::encodeName(m_mount.path()));
        QVERIFY(fill(m_mount.path(), free));
        sfptest::TestCard card;
        tn6800fp_fcEnterAddress dialog(&card);
        qunsetenv("ALLUSERSPROFILE");
        dialog.loadDefaults();
        dialog.row(0)->descriptorSelector->setEditText(QStringLiteral("VXI0::9::INSTR"));
        QStringList descriptors;
        QList<int> numbers;
        dialog.readAddresses(descriptors, numbers);
        QCOMPARE(descriptors, QStringList{QStringLiteral("VXI0::9::INSTR")});
        QCOMPARE(contents(file), kOld);
        return;
    }

    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Demo);
    // Each file far larger than what is left: 8000 samples of a cycle.
    f.frequency()->setValue(25);
    tn6820fp_panelSettings s = panel.settings();
    auto shape = std::make_shared<tn6820fp_arbitraryShape>();
    shape->values.assign(3000, 0.123456789012345);
    shape->values[0] = 1;
    shape->file = QStringLiteral("big.csv");
    s.channels[1].shape = shape;
    panel.applySettings(s);
    for (int i = 0; i < 3000; ++i)
        tn6800fp_callLog::instance().record(
            {double(i), 1.0, 0, "viClose", QStringLiteral("vi=%1").arg(i), VI_SUCCESS});
    QVERIFY(fill(m_mount.path(), free));

    sfptest::ModalAnswers answers;
    if (writer == QLatin1String("--export-c")) {
        const QString setup = QStringLiteral("/tmp/tst_fulldisk_%1.json").arg(getpid());
        QVERIFY(panel.settings().channels[0].selected);
        QCOMPARE(tn6820fp_page().exportProgram(target, tn6820fp_defaultProgramCard(),
                                               QStringLiteral("1.0")),
                 fullPath + QStringLiteral(": ") + noSpace());
        sfptest::writeFile(QStringLiteral("/tmp"), QFileInfo(setup).fileName(),
                           R"({"format": "tn6820fp-setup", "version": 1, "frequency": 25})");
        const int status =
            tn6820fp_run(*qApp, {QStringLiteral("tn6820fp"), QStringLiteral("--setup"), setup,
                                 QStringLiteral("--export-c"), target});
        QFile::remove(setup);
        QCOMPARE(status, 2);
        QCOMPARE(contents(target), kOld);
        return;
    }
    QString prefix;
    if (writer == QLatin1String("Save Setup")) {
        answers.act(choose(target)).click(QStringLiteral("OK"), warning);
        f.get<QPushButton>(QStringLiteral("saveSetupButton"))->click();
        prefix = QStringLiteral("The setup was not saved. ");
    } else if (writer == QLatin1String("Export C Program")) {
        answers.act(choose(target)).click(QStringLiteral("OK"), warning);
        f.get<QPushButton>(QStringLiteral("exportButton"))->click();
        prefix = QStringLiteral("The program was not written. ");
    } else {
        f.get<QPushButton>(QStringLiteral("driverCallsButton"))->click();
        auto *calls = panel.findChild<tn6800fp_callLogWindow *>();
        QVERIFY(calls);
        answers.act(choose(target)).click(QStringLiteral("OK"), warning);
        sfptest::child<QPushButton>(calls, QStringLiteral("saveCallsButton"))->click();
        prefix = QStringLiteral("The calls were not saved. ");
    }
    QVERIFY(answers.allAnswered());
    QCOMPARE(said, prefix + fullPath + QStringLiteral(": ") + noSpace() + QLatin1Char('.'));
    QCOMPARE(contents(target), kOld);
    // Nothing is left behind beside it.
    QCOMPARE(QDir(m_mount.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("filler"), QStringLiteral("target.file")}));
}

QTEST_MAIN(tst_fulldisk)
#include "tst_fulldisk.moc"
