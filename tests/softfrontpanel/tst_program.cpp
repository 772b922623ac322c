// The whole program run as the entry point runs it, in child processes:
// start-up order, the splash while connecting, the exit status on every path.
#include <QSplashScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "testsupport.h"
#include "tn6820fp_app.h"
#include "tn6820fp_main.h"

using sfptest::ModalAnswers;

namespace {

// Asks the main window to close as soon as it is shown.
void closeMainWindowWhenShown()
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<tn6820fp_App *>(w) && w->isVisible() &&
                !QApplication::activeModalWidget()) {
                std::printf("window shown %dx%d\n", w->width(), w->height());
                timer->deleteLater();
                w->close();
                return;
            }
        }
    });
    timer->start(20);
}

bool splashVisible()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QSplashScreen *>(w) && w->isVisible())
            return true;
    }
    return false;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_program : public QObject
{
    Q_OBJECT
private slots:
    void paths_data();
    void paths();
    void runChild();
};

void tst_program::paths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("returns");
    QTest::addColumn<int>("closes"); // tn6820_close calls in the trace
    QTest::newRow("demo, closed") << "demo" << true << 0;
    QTest::newRow("card, closed") << "card" << true << 1;
    QTest::newRow("cancelled at the question") << "cancel" << false << 0;
    QTest::newRow("cancelled in the selection") << "cancelSelection" << false << 0;
    QTest::newRow("close refused, then accepted") << "refuse" << true << 1;
}

void tst_program::paths()
{
    QFETCH(QString, path);
    QFETCH(bool, returns);
    QFETCH(int, closes);
    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    const sfptest::ChildResult r = sfptest::runInChild(
        QStringLiteral("runChild"),
        {QStringLiteral("SFP_TEST_TRACE=") + trace, QStringLiteral("SFP_RUN_PATH=") + path,
         QStringLiteral("ALLUSERSPROFILE=") + dir.path()});
    QVERIFY2(!r.crashed, r.err.constData());
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains("splash visible while connecting"), r.out.constData());
    QCOMPARE(r.out.contains("returned 0"), returns);
    QCOMPARE(r.out.contains("window shown"), returns);
    QCOMPARE(readFile(trace).count("tn6820_close "), closes);
}

void tst_program::runChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child processes of paths");
    sfptest::SimBench bench;
    const QString path = qEnvironmentVariable("SFP_RUN_PATH");
    ModalAnswers answers;
    const auto checkSplash = [](QWidget *) {
        if (splashVisible())
            std::printf("splash visible while connecting\n");
    };
    if (path == QLatin1String("cancel")) {
        answers.click(QStringLiteral("Cancel"), checkSplash);
    } else if (path == QLatin1String("demo")) {
        answers.click(QStringLiteral("Run In Demo Mode"), checkSplash);
        answers.click(QStringLiteral("Yes"));
    } else {
        answers.click(QStringLiteral("Auto Find"), checkSplash);
        answers.click(path == QLatin1String("cancelSelection") ? QStringLiteral("Cancel")
                                                               : QStringLiteral("OK"),
                      [](QWidget *w) {
                          auto *tree = w->findChild<QTreeWidget *>(QStringLiteral("cardTree"));
                          tree->topLevelItem(2)->child(0)->child(1)->setSelected(true);
                      });
        if (path == QLatin1String("refuse"))
            answers.click(QStringLiteral("No"));
        answers.click(QStringLiteral("Yes"));
    }
    std::fflush(stdout);
    closeMainWindowWhenShown();
    if (path == QLatin1String("refuse")) {
        // Refused once: ask again a little later.
        QTimer::singleShot(1500, [] { closeMainWindowWhenShown(); });
    }
    const int status = tn6820fp_run(*qApp);
    std::printf("returned %d\n", status);
    QVERIFY(answers.allAnswered());
}

QTEST_MAIN(tst_program)
#include "tst_program.moc"
