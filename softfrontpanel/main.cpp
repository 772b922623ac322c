// The tn6820fp program: the Orbana 6820 soft front panel.
#include <QApplication>
#include <QCoreApplication>
#include <cstdio>

#include "tn6820fp_main.h"

int main(int argc, char **argv)
{
    tn6820fp_prepareToolkit();
    bool asksForText = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        asksForText = asksForText || a == "-h" || a == "-?" || a == "--help" || a == "--help-all" ||
                      a == "-v" || a == "--version";
    }
    if (asksForText) {
        // --help and --version answer on a terminal without a display too:
        // before the widgets, which need one, start.
        const QCoreApplication core(argc, argv);
        const tn6820fp_options early = tn6820fp_parseOptions(QCoreApplication::arguments());
        if (early.action == tn6820fp_options::Help || early.action == tn6820fp_options::Version) {
            std::fputs(qPrintable(early.text), stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    return tn6820fp_run(app, QApplication::arguments());
}
