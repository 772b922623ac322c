#include "tn6820fp_main.h"

#include <QApplication>
#include <QSplashScreen>

#include "tn6800fp_app.h"
#include "tn6800fp_splashlabel.h"
#include "tn6820_fc.h"
#include "tn6820fp_app.h"
#include "tn6820fp_resources.h"

int tn6820fp_run(QApplication &app)
{
    tn6820fp_initResources();
    tn6820_fc card(0x6820);
    const tn6800fp_splashLabel picture(1.0f, 20, card.modelCode, true, card.noticeText(),
                                       tn6800fp_displayName(card.description()));
    auto *splash = new QSplashScreen(QPixmap(picture), Qt::WindowFlags());
    splash->setObjectName(QStringLiteral("splash"));
    splash->show();
    {
        // Constructing the panel runs the connection workflow over the splash.
        tn6820fp_App panel(&card);
        panel.adjustSize();
        centerOnScreen(&panel);
        panel.show();
        // The splash waits for the window to appear and handles events meanwhile:
        // a window already closed by then has ended the run.
        splash->finish(&panel);
        if (panel.isVisible())
            app.exec();
        delete splash;
    }
    return 0;
}
