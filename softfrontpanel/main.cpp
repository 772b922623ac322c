// The tn6820fp program: the Orbana 6820 soft front panel.
#include <QApplication>

#include "tn6820fp_main.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return tn6820fp_run(app);
}
