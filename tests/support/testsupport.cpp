#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTimer>

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
        out << std::strtod(p.toLatin1().constData(), nullptr);
    return out;
}

ModalAnswers::ModalAnswers(QObject *parent) : QObject(parent)
{
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &ModalAnswers::poll);
    timer->start(20);
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

void ModalAnswers::poll()
{
    QWidget *w = QApplication::activeModalWidget();
    if (qEnvironmentVariableIsSet("SFP_TEST_DEBUG") && w)
        qDebug() << "modal" << w << w->windowTitle() << "steps" << m_steps.size()
                 << (m_steps.isEmpty() ? QString() : m_steps.first().button);
    // A progress dialog closes by itself; the steps are for what follows it.
    if (!w || m_steps.isEmpty() || !w->isVisible() || qobject_cast<QProgressDialog *>(w))
        return;
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
        step.inspect(w);
        return;
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
        return; // not the widget this step waits for (yet)
    m_steps.removeFirst();
    if (step.inspect)
        step.inspect(w);
    seen << s;
    target->click();
}

ChildResult runInChild(const QString &testFunction, const QStringList &environment, int timeoutMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SFP_TEST_CHILD"), QStringLiteral("1"));
    for (const QString &e : environment)
        env.insert(e.section(QLatin1Char('='), 0, 0), e.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(env);
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

} // namespace sfptest
