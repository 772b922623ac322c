// Shows each window of the program as a user would see it and saves a
// picture of it into the folder given as first argument.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

#include "tn6800fp_about.h"
#include "tn6800fp_app.h"
#include "tn6800fp_license.h"
#include "tn6800fp_splashlabel.h"
#include "tn6820_fc.h"
#include "tn6820fp_resources.h"

namespace {

QDir g_out;

void shoot(QWidget *w, const QString &name)
{
    w->show();
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
    const QString path = g_out.filePath(name + QStringLiteral(".png"));
    w->grab().save(path);
    std::printf("%s %dx%d\n", qPrintable(path), w->width(), w->height());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tn6820fp_initResources();
    g_out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    g_out.mkpath(QStringLiteral("."));
    tn6820_fc card;

    tn6800fp_app frame;
    frame.setTitleText(QStringLiteral("<html>Orbana 6820<br><font size='2'>%1</font></html>")
                           .arg(card.description()));
    frame.setDemoMode(false);
    frame.setModuleLabel(QStringLiteral("Slot 3"), QString());
    frame.setCardLabel(QStringLiteral("FC 2"), QString());
    frame.adjustSize();
    shoot(&frame, QStringLiteral("frame"));

    tn6800fp_About about("4.3.2.12522", "4.3.0.1187", "6820", qPrintable(card.noticeText()), &frame,
                         "2.6.1.403");
    about.addHardwareInfo(QStringLiteral("00001a2b"), QStringLiteral("1.2.0.7"),
                          QStringLiteral("6820-AB"), QString(), QString());
    shoot(&about, QStringLiteral("about"));
    about.addHardwareInfo(QStringLiteral("00001a2c"), QStringLiteral("1.2.0.8"),
                          QStringLiteral("6820-AC"), QString(), QString());
    shoot(&about, QStringLiteral("about-two-pages"));
    about.hide();

    qtLicense licence(&frame);
    shoot(&licence, QStringLiteral("licence-qt"));
    licence.hide();

    tn6800fp_splashLabel splash(1.0f, 20, card.modelCode, true, card.noticeText(),
                                tn6800fp_displayName(card.description()));
    splash.save(g_out.filePath(QStringLiteral("splash.png")));
    std::printf("%s\n", qPrintable(g_out.filePath(QStringLiteral("splash.png"))));
    return 0;
}
