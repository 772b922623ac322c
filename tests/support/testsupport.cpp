#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cstring>
#include <unistd.h>

namespace sfptest {

SimBench::SimBench(const QString &benchText)
{
    // A parent test may name the trace file of a child process.
    m_tracePath = qEnvironmentVariableIsSet("SFP_TEST_TRACE")
                      ? qEnvironmentVariable("SFP_TEST_TRACE")
                      : m_dir.filePath(QStringLiteral("trace.txt"));
    if (!benchText.isEmpty())
        m_benchPath = writeFile(m_dir.path(), QStringLiteral("bench.ini"), benchText.toUtf8());
    qputenv("ORBANA_SIM_BENCH", m_benchPath.toLocal8Bit());
    qputenv("ORBANA_SIM_TRACE", m_tracePath.toLocal8Bit());
    orbsim_reload();
}

SimBench::~SimBench()
{
    qputenv("ORBANA_SIM_TRACE", QByteArray());
    qputenv("ORBANA_SIM_BENCH", QByteArray());
    orbsim_reload();
}

QStringList SimBench::trace() const
{
    QFile f(m_tracePath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList SimBench::calls(const QString &function) const
{
    QStringList out;
    for (const QString &line : trace()) {
        if (line.section(QLatin1Char(' '), 0, 0) == function)
            out << line;
    }
    return out;
}

void SimBench::clearTrace()
{
    QFile::remove(m_tracePath);
}

QMap<QString, QString> traceArgs(const QString &line)
{
    QMap<QString, QString> args;
    static const QRegularExpression re(
        QStringLiteral(R"re((\S+)=("(?:[^"\\]|\\.)*"|\[[^\]]*\]|\S+))re"));
    auto it = re.globalMatch(line);
    while (it.hasNext()) {
        auto m = it.next();
        QString v = m.captured(2);
        if (v.startsWith(QLatin1Char('"')))
            v = v.mid(1, v.size() - 2).replace(QStringLiteral("\\\""), QStringLiteral("\""));
        args.insert(m.captured(1), v);
    }
    return args;
}

long traceStatus(const QString &line)
{
    return line.section(QStringLiteral(" -> "), -1).toLong();
}

QVector<double> traceSamples(const QString &line, const QString &name)
{
    QString v = traceArgs(line).value(name);
    QVector<double> out;
    if (!v.startsWith(QLatin1Char('[')))
        return out;
    const auto parts = v.mid(1, v.size() - 2).split(QLatin1Char(','), Qt::SkipEmptyParts);
    out.reserve(parts.size());
    for (const QString &p : parts)
        out << p.toDouble(); // a point as the decimal mark, in every locale
    return out;
}

namespace {

QList<ModalAnswers *> &liveAnswers()
{
    static QList<ModalAnswers *> live;
    return live;
}

QString describe(QWidget *w)
{
    QString d = QStringLiteral("%1 \"%2\"")
                    .arg(QLatin1String(w->metaObject()->className()), w->windowTitle());
    if (auto *box = qobject_cast<QMessageBox *>(w))
        d += QStringLiteral(": ") + box->text();
    return d;
}

} // namespace

ModalAnswers::ModalAnswers(QObject *parent) : QObject(parent)
{
    liveAnswers().append(this);
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &ModalAnswers::poll);
    timer->start(20);
}

ModalAnswers::~ModalAnswers()
{
    liveAnswers().removeOne(this);
}

ModalAnswers &ModalAnswers::click(const QString &buttonText, std::function<void(QWidget *)> inspect)
{
    m_steps.append({buttonText, std::move(inspect)});
    return *this;
}

ModalAnswers &ModalAnswers::act(std::function<void(QWidget *)> action)
{
    m_steps.append({QString(), std::move(action)});
    return *this;
}

bool ModalAnswers::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched == m_acted)
        m_acted = nullptr;
    return false;
}

void ModalAnswers::poll()
{
    // The oldest live helper decides for all of them, so that a box is never
    // both answered by one and rejected by another.
    if (liveAnswers().value(0) != this)
        return;
    QWidget *w = QApplication::activeModalWidget();
    if (qEnvironmentVariableIsSet("SFP_TEST_DEBUG") && w)
        qDebug() << "modal" << w << w->windowTitle();
    // A progress dialog closes by itself; the steps are for what follows it.
    if (!w || !w->isVisible() || qobject_cast<QProgressDialog *>(w)) {
        m_waiting = nullptr;
        return;
    }
    if (w == m_acted || w == m_waiting) {
        // A few polls' grace: the step's own close may still be under way.
        if (++m_polls >= 5)
            reject(w, w == m_acted ? QStringLiteral("a step acted on it and left it open")
                                   : QStringLiteral("it lacks the next step's button"));
        return;
    }
    m_acted = nullptr;
    m_polls = 0;
    ModalAnswers *owner = nullptr;
    for (ModalAnswers *a : liveAnswers()) {
        if (!a->m_steps.isEmpty()) {
            owner = a;
            break;
        }
    }
    if (!owner) {
        reject(w, QStringLiteral("no step was planned for it"));
        return;
    }
    if (!owner->answer(w))
        m_waiting = w;
}

bool ModalAnswers::answer(QWidget *w)
{
    SeenModal s;
    s.className = QString::fromLatin1(w->metaObject()->className());
    s.objectName = w->objectName();
    s.title = w->windowTitle();
    s.hasParent = w->parentWidget() != nullptr;
    if (auto *box = qobject_cast<QMessageBox *>(w)) {
        s.text = box->text();
        s.icon = box->icon();
    }
    const Step step = m_steps.first();
    if (step.button.isEmpty()) {
        m_steps.removeFirst();
        seen << s;
        ModalAnswers *decider = liveAnswers().value(0);
        decider->m_acted = w;
        w->installEventFilter(decider);
        step.inspect(w);
        return true;
    }
    QAbstractButton *target = nullptr;
    for (QAbstractButton *b : w->findChildren<QAbstractButton *>()) {
        if (!b->isVisible())
            continue;
        QString t = b->text().remove(QLatin1Char('&'));
        if (t.isEmpty())
            continue;
        s.buttons << t;
        if (t == step.button && !target)
            target = b;
    }
    if (!target)
        return false;
    m_steps.removeFirst();
    if (step.inspect)
        step.inspect(w);
    seen << s;
    target->click();
    return true;
}

void ModalAnswers::reject(QWidget *w, const QString &why)
{
    const QString what = describe(w) + QStringLiteral(" was rejected: ") + why;
    rejected << what;
    m_acted = nullptr;
    m_waiting = nullptr;
    m_polls = 0;
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
    if (auto *box = qobject_cast<QMessageBox *>(w)) {
        if (QAbstractButton *escape = box->escapeButton()) {
            escape->click();
            return;
        }
    }
    if (auto *dialog = qobject_cast<QDialog *>(w))
        dialog->reject();
    else
        w->close();
}

ChildResult runInChild(const QString &testFunction, const QStringList &environment, int timeoutMs,
                       bool permissionsBind)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SFP_TEST_CHILD"), QStringLiteral("1"));
    const QTemporaryDir childTemp;
    env.insert(QStringLiteral("TMPDIR"), childTemp.path());
    for (const QString &e : environment)
        env.insert(e.section(QLatin1Char('='), 0, 0), e.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(env);
    if (permissionsBind && ::geteuid() == 0)
        p.start(QStringLiteral("setpriv"),
                {QStringLiteral("--bounding-set"),
                 QStringLiteral("-dac_override,-dac_read_search,-fowner"), QStringLiteral("--"),
                 QCoreApplication::applicationFilePath(), testFunction});
    else
        p.start(QCoreApplication::applicationFilePath(), {testFunction});
    ChildResult r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.crashed = true;
    }
    r.crashed = r.crashed || p.exitStatus() != QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

bool isChild()
{
    return qEnvironmentVariableIsSet("SFP_TEST_CHILD");
}

QImage labelImage(const QLabel *label, QImage::Format format)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QPixmap pixmap = label->pixmap();
#else
    const QPixmap pixmap = label->pixmap(Qt::ReturnByValue);
#endif
    return pixmap.isNull() ? QImage() : pixmap.toImage().convertToFormat(format);
}

QString writeFile(const QString &dir, const QString &name, const QByteArray &content)
{
    QString path = dir + QLatin1Char('/') + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
    return path;
}

QStringList layoutProblems(QWidget *window)
{
    QStringList problems;
    const auto where = [window](QWidget *w) {
        const QString name = w->objectName().isEmpty()
                                 ? QString::fromLatin1(w->metaObject()->className())
                                 : w->objectName();
        return QStringLiteral("%1 in %2").arg(name, window->objectName());
    };
    // A window already as wide as the screen allows squeezes what it holds:
    // that is the screen's limit (the offscreen platform's screen is only
    // 800 pixels wide), not the layout's.
    const QScreen *screen = window->screen();
    const bool screenWide =
        screen && window->isWindow() &&
        window->frameGeometry().width() >= screen->availableGeometry().width() - 1;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : widgets) {
        if (!w->isVisibleTo(window) && w != window)
            continue;
        QString text;
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->wordWrap())
                continue; // a wrapped text takes more lines, not more width
            text = label->text();
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            text = button->text();
        } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
            if (!group->title().isEmpty() && group->width() < group->minimumSizeHint().width())
                problems << QStringLiteral("group title \"%1\" clipped: %2 < %3 (%4)")
                                .arg(group->title())
                                .arg(group->width())
                                .arg(group->minimumSizeHint().width())
                                .arg(where(w));
            continue;
        } else if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
            QTabBar *bar = tabs->tabBar();
            const QRect shown = bar->geometry().intersected(tabs->rect());
            for (int i = 0; i < tabs->count(); ++i) {
                const QRect tab = bar->tabRect(i).translated(bar->pos());
                const int needed = bar->fontMetrics().horizontalAdvance(tabs->tabText(i));
                if (!shown.contains(tab) || !bar->rect().contains(bar->tabRect(i)) ||
                    bar->tabRect(i).width() < needed)
                    problems << QStringLiteral("tab \"%1\" not wholly in view (%2)")
                                    .arg(tabs->tabText(i), where(w));
            }
            continue;
        } else {
            // A widget that paints texts of its own says which of them do
            // not fit it now.
            QStringList cut;
            if (w->metaObject()->indexOfMethod("cutTexts()") >= 0 &&
                QMetaObject::invokeMethod(w, "cutTexts", Q_RETURN_ARG(QStringList, cut))) {
                for (const QString &t : cut)
                    problems << QStringLiteral("\"%1\" painted cut at %2x%3 (%4)")
                                    .arg(t.left(40))
                                    .arg(w->width())
                                    .arg(w->height())
                                    .arg(where(w));
            }
            continue;
        }
        if (text.isEmpty())
            continue;
        if (screenWide)
            continue;
        if (w->width() < w->sizeHint().width())
            problems << QStringLiteral("\"%1\" clipped: %2 < %3 (%4)")
                            .arg(text.left(40))
                            .arg(w->width())
                            .arg(w->sizeHint().width())
                            .arg(where(w));
    }
    return problems;
}

QString labelText(const QWidget &w, const char *name)
{
    auto *l = w.findChild<QLabel *>(QLatin1String(name));
    return l ? l->text() : QStringLiteral("<missing>");
}

bool sameBits(const QVector<double> &a, const std::vector<double> &b)
{
    return a.size() == int(b.size()) &&
           std::memcmp(a.constData(), b.data(), b.size() * sizeof(double)) == 0;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QTreeWidgetItem *treeRow(QTreeWidget *tree, const QString &first, const QString &parent)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->text(0) == first && (*it)->parent() && (*it)->parent()->text(0) == parent)
            return *it;
    }
    return nullptr;
}

ProfileDir::ProfileDir()
{
    qputenv("ALLUSERSPROFILE", dir.path().toLocal8Bit());
}

ProfileDir::~ProfileDir()
{
    qunsetenv("ALLUSERSPROFILE");
}

QString ProfileDir::iniPath() const
{
    return dir.path() + QStringLiteral("/Morvix/DefaultInstrDescr.ini");
}

std::function<void(QWidget *)> enterAddress(const QString &descriptor, int cardNumber)
{
    return [=](QWidget *w) {
        QCOMPARE(w->objectName(), QStringLiteral("enterAddressDialog"));
        child<QComboBox>(w, QStringLiteral("descriptorSelector"))->setEditText(descriptor);
        child<QComboBox>(w, QStringLiteral("cardNumberSelector"))->setCurrentIndex(cardNumber);
        child<QPushButton>(w, QStringLiteral("okButton"))->click();
    };
}

} // namespace sfptest
