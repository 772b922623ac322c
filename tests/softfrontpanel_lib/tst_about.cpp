// The About dialog's pages and licence links, and the licence dialogs.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "testsupport.h"
#include "tn6800fp_about.h"
#include "tn6800fp_license.h"

using sfptest::labelText;
using sfptest::ModalAnswers;

namespace {

QPushButton *button(QWidget &w, const char *name)
{
    return w.findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

class tst_about : public QObject
{
    Q_OBJECT
private slots:
    void titlesAndRevisions();
    void onePageHidesPaging();
    void twoPagesFlip();
    void emptyTextsTakeWhatIsShown();
    void optionalLicenceRows();
    void licenceLinkOpensDialog_data();
    void licenceLinkOpensDialog();
    void licenceDialogSize_data();
    void licenceDialogSize();
    void licenceDialogAtScreenDpi_data();
    void licenceDialogAtScreenDpi();
    void licenceDialogSizeChild();
    void licenceTexts_data();
    void licenceTexts();
    void clickableLabelLooksLikeALink();
};

void tst_about::titlesAndRevisions()
{
    tn6800fp_About about("4.3.2.12522", "4.3.0.1187", "6820", "A notice.", nullptr, "2.6.1.403");
    QCOMPARE(about.windowTitle(), QStringLiteral("About Orbana 6820 Soft Front Panel"));
    QCOMPARE(labelText(about, "aboutHeader"),
             QStringLiteral("<font size='5' bold>Orbana 6820 VXIplug&play Driver<br>Soft Front "
                            "Panel Application</font>"));
    QCOMPARE(labelText(about, "aboutNotice"), QStringLiteral("A notice."));
    QCOMPARE(labelText(about, "commonRevision"), QStringLiteral("2.6.1.403"));
    QCOMPARE(labelText(about, "driverRevision"), QStringLiteral("4.3.0.1187"));
    QCOMPARE(labelText(about, "panelVersion"), QStringLiteral("4.3.2.12522"));
    QCOMPARE(labelText(about, "qtLicenseLink").contains(QStringLiteral("LGPL v3")),
             QByteArray(qVersion()).at(0) != '4');
    QVERIFY(!tn6800fp_qtIsLgpl21("5.15.8"));
    QVERIFY(!tn6800fp_qtIsLgpl21("6.4.2"));
    QVERIFY(tn6800fp_qtIsLgpl21("4.8.7"));
    QCOMPARE(tn6800fp_licensesUrl().scheme(), QStringLiteral("https"));
    QCOMPARE(tn6800fp_licensesUrl().path(), QStringLiteral("/about/third-party-license-usage/"));

    tn6800fp_About withoutCommon("1", "2", "6820", "n", nullptr);
    withoutCommon.show();
    QVERIFY(!withoutCommon.findChild<QLabel *>(QStringLiteral("commonRevision"))->isVisible());
    QVERIFY(withoutCommon.findChild<QLabel *>(QStringLiteral("driverRevision"))->isVisible());
}

void tst_about::onePageHidesPaging()
{
    tn6800fp_About about("1", "2", "6820", "n", nullptr, "3");
    about.addHardwareInfo("00001a2b", "1.2.0.7", "6820-AB", QString(), QString());
    about.show();
    QVERIFY(!button(about, "nextButton")->isVisible());
    QVERIFY(!button(about, "prevButton")->isVisible());
    QCOMPARE(labelText(about, "deviceModel"), QStringLiteral("6820-AB"));
    QCOMPARE(labelText(about, "hardwareRevision"), QStringLiteral("1.2.0.7"));
    QCOMPARE(labelText(about, "serialNumber"), QStringLiteral("00001a2b"));
    button(about, "okButton")->click();
    QVERIFY(!about.isVisible());
    QCOMPARE(about.pageCount(), 1);
}

void tst_about::twoPagesFlip()
{
    tn6800fp_About about("1", "drv", "6820", "n", nullptr, "3");
    about.addHardwareInfo("s1", "r1", "m1", QString(), QString());
    about.addHardwareInfo("s2", "r2", "m2", QStringLiteral("drv2"), QStringLiteral("sfp2"));
    about.show();
    auto *next = button(about, "nextButton");
    auto *prev = button(about, "prevButton");
    QVERIFY(next->isVisible() && prev->isVisible());
    QVERIFY(next->isEnabled());
    QVERIFY(!prev->isEnabled());
    QCOMPARE(labelText(about, "serialNumber"), QStringLiteral("s1"));
    next->click();
    QCOMPARE(about.pageIndex(), 1);
    QVERIFY(!next->isEnabled());
    QVERIFY(prev->isEnabled());
    QCOMPARE(labelText(about, "serialNumber"), QStringLiteral("s2"));
    QCOMPARE(labelText(about, "deviceModel"), QStringLiteral("m2"));
    QCOMPARE(labelText(about, "driverRevision"), QStringLiteral("drv2"));
    QCOMPARE(labelText(about, "panelVersion"), QStringLiteral("sfp2"));
    about.next(); // past the last page: nothing happens
    QCOMPARE(about.pageIndex(), 1);
    prev->click();
    QCOMPARE(about.pageIndex(), 0);
    QVERIFY(!prev->isEnabled());
    QVERIFY(next->isEnabled());
    QCOMPARE(labelText(about, "serialNumber"), QStringLiteral("s1"));
    QCOMPARE(labelText(about, "driverRevision"), QStringLiteral("drv"));
    QCOMPARE(labelText(about, "panelVersion"), QStringLiteral("1"));
    // Hiding keeps the pages and the page on show.
    about.hide();
    about.show();
    QCOMPARE(about.pageCount(), 2);
    QCOMPARE(about.pageIndex(), 0);
}

void tst_about::emptyTextsTakeWhatIsShown()
{
    tn6800fp_About about("sfp1", "drv1", "6820", "n", nullptr, "3");
    about.addHardwareInfo("s1", "r1", "m1", QStringLiteral("drvA"), QString());
    about.addHardwareInfo("s2", "r2", "m2", QString(), QString());
    about.next();
    // The second page took the texts shown when it was added (the first page's
    // were not put on show until paging).
    QCOMPARE(labelText(about, "driverRevision"), QStringLiteral("drv1"));
    QCOMPARE(labelText(about, "panelVersion"), QStringLiteral("sfp1"));
    about.prev();
    QCOMPARE(labelText(about, "driverRevision"), QStringLiteral("drvA"));
}

void tst_about::optionalLicenceRows()
{
    tn6800fp_About plain("1", "2", "6820", "n", nullptr, "3");
    QVERIFY(!plain.findChild<QLabel *>(QStringLiteral("qwtLicenseLink")));
    QVERIFY(!plain.findChild<QLabel *>(QStringLiteral("kissFFTLicenseLink")));
    tn6800fp_About full("1", "2", "6820", "n", nullptr, "3", "6.1.4", true);
    QVERIFY(labelText(full, "qwtLicenseLink").contains(QStringLiteral("LGPL v2.1")));
    QVERIFY(labelText(full, "kissFFTLicenseLink").contains(QStringLiteral("BSD")));
}

void tst_about::licenceLinkOpensDialog_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("mouseButton");
    QTest::addColumn<QString>("title");
    QTest::newRow("qt, left") << "qtLicenseLink" << int(Qt::LeftButton) << "Qt LGPL License";
    QTest::newRow("qt, right") << "qtLicenseLink" << int(Qt::RightButton) << "Qt LGPL License";
    QTest::newRow("qwt") << "qwtLicenseLink" << int(Qt::LeftButton) << "Qwt LGPL License";
    QTest::newRow("kiss fft") << "kissFFTLicenseLink" << int(Qt::MiddleButton)
                              << "KISS FFT BSD License";
}

void tst_about::licenceLinkOpensDialog()
{
    QFETCH(QString, link);
    QFETCH(int, mouseButton);
    QFETCH(QString, title);
    tn6800fp_About about("1", "2", "6820", "n", nullptr, "3", "6.1.4", true);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    ModalAnswers answers;
    answers.click(QStringLiteral("Ok"));
    QTest::mouseClick(about.findChild<QLabel *>(link), Qt::MouseButton(mouseButton));
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.first().title, title);
    QVERIFY(answers.seen.first().hasParent);
}

void tst_about::licenceDialogSize_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QSize>("size");
    QTest::newRow("96 dpi") << 96 << QSize(650, 500);
    QTest::newRow("120 dpi") << 120 << QSize(812, 625);
    QTest::newRow("144 dpi") << 144 << QSize(975, 750);
}

void tst_about::licenceDialogSize()
{
    QFETCH(int, dpi);
    QFETCH(QSize, size);
    QCOMPARE(tn6800fp_licenseTextMinimumSize(dpi), size);
    qtLicense dialog;
    auto *text = dialog.findChild<QPlainTextEdit *>(QStringLiteral("licenseText"));
    // 650 x 500 at 96 dpi, scaled to the offscreen screen's resolution.
    const QMap<int, QSize> atDpi{{96, QSize(650, 500)}, {100, QSize(677, 520)}};
    QVERIFY2(atDpi.contains(dialog.logicalDpiX()),
             qPrintable(QString::number(dialog.logicalDpiX())));
    QCOMPARE(text->minimumSize(), atDpi.value(dialog.logicalDpiX()));
    QVERIFY(dialog.isModal());
}

void tst_about::licenceDialogAtScreenDpi_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QByteArray>("size");
    QTest::newRow("96 dpi") << 96 << QByteArray("650x500");
    QTest::newRow("120 dpi") << 120 << QByteArray("812x625");
}

void tst_about::licenceDialogAtScreenDpi()
{
    QFETCH(int, dpi);
    QFETCH(QByteArray, size);
    const sfptest::ChildResult r = sfptest::runInChild(QStringLiteral("licenceDialogSizeChild"),
                                                       {QStringLiteral("QT_FONT_DPI=%1").arg(dpi)});
    QCOMPARE(r.exitCode, 0);
    if (!r.out.contains("dpi " + QByteArray::number(dpi) + " "))
        QSKIP("this platform plugin does not take its resolution from QT_FONT_DPI");
    QVERIFY2(r.out.contains("dpi " + QByteArray::number(dpi) + " text box " + size),
             r.out.constData());
}

void tst_about::licenceDialogSizeChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child processes of licenceDialogAtScreenDpi");
    qtLicense dialog;
    const QSize min =
        dialog.findChild<QPlainTextEdit *>(QStringLiteral("licenseText"))->minimumSize();
    std::printf("dpi %d text box %dx%d\n", dialog.logicalDpiX(), min.width(), min.height());
    std::fflush(stdout);
}

void tst_about::licenceTexts_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QString>("mustContain");
    QTest::newRow("qt") << 0
                        << (QByteArray(qVersion()).at(0) == '4' ? ":/qt-lgpl-license.txt"
                                                                : ":/qt5-lgpl-license.txt")
                        << "Version 3, 29 June 2007";
    QTest::newRow("qwt") << 1 << ":/qwt-lgpl-license.txt"
                         << "Qwt License";
    QTest::newRow("kiss fft") << 2 << ":/kiss-fft-bsd-license.txt"
                              << "Mark Borgerding";
}

void tst_about::licenceTexts()
{
    QFETCH(int, which);
    QFETCH(QString, resource);
    QFETCH(QString, mustContain);
    QScopedPointer<QDialog> dialog(which == 0   ? static_cast<QDialog *>(new qtLicense)
                                   : which == 1 ? static_cast<QDialog *>(new qwtLicense)
                                                : static_cast<QDialog *>(new kissFFTLicense));
    auto *text = dialog->findChild<QPlainTextEdit *>(QStringLiteral("licenseText"));
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(text->font().family(), QStringLiteral("Courier"));
    QVERIFY(text->toPlainText().contains(mustContain));
    QVERIFY(!text->toPlainText().contains(QLatin1Char('\r')));
    QFile raw(resource);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    QCOMPARE(bytes.count("\r\n"), bytes.count('\n')); // every line ends in CR LF
    QVERIFY(bytes.count('\n') > 20);
    if (resource.contains(QStringLiteral("qt5")))
        QVERIFY(text->toPlainText().contains(QChar(0x201C))); // decoded as UTF-8
}

void tst_about::clickableLabelLooksLikeALink()
{
    clickableLabel label(QStringLiteral("Qt"));
    QCOMPARE(label.text(), QStringLiteral("<u><font color='#22e'>Qt</font></u>"));
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
    QSignalSpy spy(&label, &clickableLabel::clicked);
    label.show();
    QTest::mousePress(&label, Qt::LeftButton);
    QCOMPARE(spy.count(), 0);
    QTest::mouseRelease(&label, Qt::LeftButton);
    QTest::mouseClick(&label, Qt::RightButton);
    QCOMPARE(spy.count(), 2);
}

QTEST_MAIN(tst_about)
#include "tst_about.moc"
