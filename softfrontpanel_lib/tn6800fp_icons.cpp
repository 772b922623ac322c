#include "tn6800fp_icons.h"

#include <QFile>
#include <QGuiApplication>

namespace {

const char *const kStart[] = {
    "12 12 2 1",    ". c None",     "g c #008000",  "..g.........", "..gg........",
    "..ggg.......", "..gggg......", "..ggggg.....", "..gggggg....", "..gggggg....",
    "..ggggg.....", "..gggg......", "..ggg.......", "..gg........", "..g.........",
};

const char *const kContinuous[] = {
    "12 12 2 1",    ". c None",     "g c #008000",  "g.....g.....", "gg....gg....",
    "ggg...ggg...", "gggg..gggg..", "ggggg.ggggg.", "gggggggggggg", "gggggggggggg",
    "ggggg.ggggg.", "gggg..gggg..", "ggg...ggg...", "gg....gg....", "g.....g.....",
};

const char *const kStop[] = {
    "12 12 2 1",    ". c None",     "r c #800000",  "............", "rrrrrrrrrrrr",
    "rrrrrrrrrrrr", "rrrrrrrrrrrr", "rrrrrrrrrrrr", "rrrrrrrrrrrr", "rrrrrrrrrrrr",
    "rrrrrrrrrrrr", "rrrrrrrrrrrr", "rrrrrrrrrrrr", "rrrrrrrrrrrr", "............",
};

const char *const kHelp[] = {
    "20 17 3 1",
    "  c None",
    ". c #ffffff",
    "X c #000000",
    "X                   ",
    "XX                  ",
    "X.X                 ",
    "X..X         XXXX   ",
    "X...X       XX..XX  ",
    "X....X     XX.XX.XX ",
    "X.....X    XXX  X.X ",
    "X......X       XX.X ",
    "X.......X     XX.XX ",
    "X........X   XX.XX  ",
    "X.....XXXXX  X.XX   ",
    "X..X..X      XXX    ",
    "X.X X..X            ",
    "XX  X..X     XXX    ",
    "X    X..X    X.X    ",
    "     X..X    XXX    ",
    "      XX            ",
};

const char *const kWindow[] = {
    "16 16 5 1",        "c c #ffffff",      "b c #0000ff",      "# c #808080",
    "a c #ff0000",      ". c None",         "########....aaa.", "#########..aaaaa",
    "##########.aaaaa", "#########..aaaaa", "########....aaa.", "................",
    ".bbb....########", "bbbbb..#########", "bbbbb.##########", "bbbbb..#########",
    ".bbb....########", "................", "c..cc.cc.c.cc.cc", "cc.cc.c..c.cc.c.",
    "cc.cc..c.c.c..c.", "cc.cc.cc.c.cc.cc",
};

} // namespace

QPixmap tn6800fp_startPixmap()
{
    return QPixmap(kStart);
}
QPixmap tn6800fp_continuousPixmap()
{
    return QPixmap(kContinuous);
}
QPixmap tn6800fp_stopPixmap()
{
    return QPixmap(kStop);
}
QPixmap tn6800fp_helpPixmap()
{
    return QPixmap(kHelp);
}
QPixmap tn6800fp_windowPixmap()
{
    return QPixmap(kWindow);
}

bool tn6800fp_twiceTheResolution()
{
    return qApp && qApp->devicePixelRatio() > 1.0;
}

QPixmap tn6800fp_picture(const QString &path)
{
    if (tn6800fp_twiceTheResolution()) {
        const int dot = path.lastIndexOf(QLatin1Char('.'));
        const QString twin = path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
        if (dot > 0 && QFile::exists(twin)) {
            QPixmap sharp(twin);
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QPixmap(path);
}

QIcon tn6800fp_icon(const QPixmap &pixmap)
{
    QIcon icon(pixmap);
    if (!pixmap.isNull())
        icon.addPixmap(
            pixmap.scaled(pixmap.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    return icon;
}
