#include "tn6820fp_main.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QSplashScreen>
#include <cstdio>

#include "tn6800.h"
#include "tn6800fp_app.h"
#include "tn6800fp_calllog.h"
#include "tn6800fp_splashlabel.h"
#include "tn6820_fc.h"
#include "tn6820fp_app.h"
#include "tn6820fp_page.h"
#include "tn6820fp_resources.h"
#include "tn6820fp_setup.h"

void tn6820fp_prepareToolkit()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#endif
}

tn6820fp_options tn6820fp_parseOptions(const QStringList &arguments)
{
    tn6820fp_options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Soft front panel of the Orbana 6820 8-channel DAC function card.\n"
                       "Without options it asks how to reach the card."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Run in demo mode, without hardware."));
    const QCommandLineOption resource(
        QStringLiteral("resource"),
        QStringLiteral("Open the card in the carrier with this VISA resource descriptor "
                       "(with --fc), e.g. TCPIP::192.168.10.20::INSTR."),
        QStringLiteral("descriptor"));
    const QCommandLineOption fc(
        QStringLiteral("fc"),
        QStringLiteral("The card's position in its carrier, 1 to %1.").arg(TN6800_MAX_POSITIONS),
        QStringLiteral("n"));
    const QCommandLineOption setup(
        QStringLiteral("setup"),
        QStringLiteral("Open this setup (a JSON file saved by the panel) once the panel is "
                       "shown."),
        QStringLiteral("file"));
    const QCommandLineOption logCalls(
        QStringLiteral("log-calls"),
        QStringLiteral("Write every call into VISA and the card's libraries to this file, one "
                       "line each as it returns."),
        QStringLiteral("file"));
    const QCommandLineOption exportC(
        QStringLiteral("export-c"),
        QStringLiteral("With --setup: write the setup as a C program that drives the card "
                       "(the one of --resource and --fc, or the default bench's) and exit, "
                       "without a window."),
        QStringLiteral("file"));
    const QCommandLineOption exportPython(
        QStringLiteral("export-python"),
        QStringLiteral("With --setup: write the setup as a Python program that drives the card "
                       "(as --export-c does) and exit, without a window."),
        QStringLiteral("file"));
    parser.addOptions({demo, resource, fc, setup, logCalls, exportC, exportPython});
    o.text = parser.helpText();
    const auto refuse = [&o](const QString &why) {
        o.action = tn6820fp_options::Refuse;
        o.message = why;
        return o;
    };
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        o.action = tn6820fp_options::Help;
        return o;
    }
    if (parser.isSet(version)) {
        o.action = tn6820fp_options::Version;
        o.text = QStringLiteral("tn6820fp %1\n").arg(tn6820_fc().softwareVersion());
        return o;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("Unexpected argument '%1'.")
                          .arg(parser.positionalArguments().constFirst()));
    for (const QCommandLineOption &once : {resource, fc, setup, logCalls, exportC, exportPython}) {
        if (parser.values(once).size() > 1)
            return refuse(
                QStringLiteral("--%1 is given more than once.").arg(once.names().first()));
    }
    if (parser.isSet(demo) && (parser.isSet(resource) || parser.isSet(fc)))
        return refuse(QStringLiteral("--demo cannot go with --resource or --fc."));
    if (parser.isSet(resource) != parser.isSet(fc))
        return refuse(QStringLiteral("--resource and --fc go together."));
    if (parser.isSet(demo)) {
        o.start.kind = tn6800fp_startChoice::Demo;
    } else if (parser.isSet(resource)) {
        const QString descriptor = parser.value(resource);
        bool ascii = !descriptor.isEmpty();
        for (QChar c : descriptor)
            ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7F;
        if (!ascii || descriptor.size() >= VI_FIND_BUFLEN)
            return refuse(QStringLiteral("The resource descriptor must be 1 to %1 printable "
                                         "ASCII characters.")
                              .arg(VI_FIND_BUFLEN - 1));
        bool number = false;
        const int n = parser.value(fc).toInt(&number);
        if (!number || n < 1 || n > TN6800_MAX_POSITIONS)
            return refuse(QStringLiteral("The card number '%1' is not a number from 1 to %2.")
                              .arg(parser.value(fc))
                              .arg(TN6800_MAX_POSITIONS));
        o.start.kind = tn6800fp_startChoice::Open;
        o.start.descriptor = descriptor;
        o.start.fcNumber = n;
    }
    if (parser.isSet(setup)) {
        // Checked against the card's nominal range now, before any window,
        // and against the card's own range when the panel opens it.
        const QString path = parser.value(setup);
        const QString name = QFileInfo(path).fileName();
        QString why;
        o.setupJson = tn6820fp_setupFileBytes(path, &why);
        if (!why.isEmpty())
            return refuse(QStringLiteral("%1: %2.").arg(name, why));
        tn6820fp_page page;
        why = page.openSetupBytes(o.setupJson, name);
        if (!why.isEmpty())
            return refuse(why);
        o.setupPath = path;
        o.setup = page.settings();
    }
    if (parser.isSet(exportC) && parser.isSet(exportPython))
        return refuse(QStringLiteral("--export-c and --export-python cannot go together."));
    for (const QCommandLineOption &exported : {exportC, exportPython}) {
        if (!parser.isSet(exported))
            continue;
        if (!parser.isSet(setup))
            return refuse(QStringLiteral("--%1 goes with --setup.").arg(exported.names().first()));
        o.action = tn6820fp_options::Export;
        o.exportPath = parser.value(exported);
        o.exportLanguage = exported.names() == exportPython.names() ? tn6820fp_language::Python
                                                                    : tn6820fp_language::C;
    }
    if (parser.isSet(logCalls) && parser.isSet(setup)) {
        // The log would overwrite the setup it names.
        const QFileInfo log(parser.value(logCalls));
        const QFileInfo read(parser.value(setup));
        if (log.absoluteFilePath() == read.absoluteFilePath() ||
            (log.exists() && log.canonicalFilePath() == read.canonicalFilePath()))
            return refuse(QStringLiteral("--setup and --log-calls name the same file."));
    }
    if (parser.isSet(logCalls)) {
        // From the very first call on, so the file is opened here.
        QString why;
        if (!tn6800fp_callLog::instance().writeTo(parser.value(logCalls), &why))
            return refuse(QStringLiteral("cannot write the driver calls to %1: %2")
                              .arg(parser.value(logCalls), why));
    }
    return o;
}

namespace {

// --export-c and --export-python: the setup's program, for the card of the
// command line or the default bench's; 0 when written, 2 with the reason on
// standard error.
int exportProgram(const tn6820fp_options &options, const QString &version)
{
    tn6820fp_programCard target = tn6820fp_defaultProgramCard();
    if (options.start.kind == tn6800fp_startChoice::Open)
        target = {options.start.descriptor, options.start.fcNumber};
    tn6820fp_page page;
    page.setSettings(options.setup);
    const QString why =
        page.exportProgram(options.exportPath, target, version, options.exportLanguage);
    if (!why.isEmpty()) {
        std::fprintf(stderr, "tn6820fp: the program was not written. %s.\n", qPrintable(why));
        return 2;
    }
    return 0;
}

} // namespace

int tn6820fp_run(QApplication &app, const QStringList &arguments)
{
    tn6820_fc card(0x6820);
    tn6820fp_options options = tn6820fp_parseOptions(arguments);
    switch (options.action) {
    case tn6820fp_options::Help:
    case tn6820fp_options::Version:
        std::fputs(qPrintable(options.text), stdout);
        return 0;
    case tn6820fp_options::Refuse:
        std::fprintf(stderr, "tn6820fp: %s\n\n%s", qPrintable(options.message),
                     qPrintable(options.text));
        return 2;
    case tn6820fp_options::Export:
        return exportProgram(options, card.softwareVersion());
    case tn6820fp_options::Run:
        break;
    }
    tn6820fp_initResources();
    const tn6800fp_splashLabel picture(1.0f, 20, card.modelCode, true, card.noticeText(),
                                       tn6800fp_displayName(card.description()));
    auto *splash = new QSplashScreen(QPixmap(picture), Qt::WindowFlags());
    splash->setObjectName(QStringLiteral("splash"));
    splash->show();
    {
        // Constructing the panel runs the connection workflow over the splash.
        tn6820fp_App panel(&card, options.start);
        panel.adjustSize();
        centerOnScreen(&panel);
        panel.show();
        if (!options.setupPath.isEmpty()) {
            panel.openSetupBytes(options.setupJson, QFileInfo(options.setupPath).fileName());
            // A setup's bytes may be hundreds of megabytes; the panel holds its values.
            options.setupJson = QByteArray();
            options.setup = tn6820fp_panelSettings();
        }
        // The splash waits for the window to appear and handles events meanwhile:
        // a window already closed by then has ended the run.
        splash->finish(&panel);
        if (panel.isVisible())
            app.exec();
        delete splash;
    }
    return 0;
}
