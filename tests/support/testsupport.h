#ifndef SFP_TESTSUPPORT_H
#define SFP_TESTSUPPORT_H

#include <QImage>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <functional>

extern "C" void orbsim_reload(void);

namespace sfptest {

// Points the stand-in libraries at a bench (the default one when the text is
// empty) and a fresh trace file, and makes them read it again.
class SimBench
{
public:
    explicit SimBench(const QString &benchText = QString());
    ~SimBench();
    QStringList trace() const;
    // Lines of one entry point, in call order.
    QStringList calls(const QString &function) const;
    void clearTrace();
    QString benchPath() const { return m_benchPath; }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_benchPath;
    QString m_tracePath;
};

// name=value pairs of a trace line ("name a=1 b=\"x\" -> 0"); strings unquoted.
QMap<QString, QString> traceArgs(const QString &line);
long traceStatus(const QString &line);
QVector<double> traceSamples(const QString &line, const QString &name);

// What a modal box or dialog looked like when it was answered.
struct SeenModal
{
    QString className;
    QString objectName;
    QString title;
    QString text;
    int icon = 0;
    QStringList buttons; // texts without '&'
    bool hasParent = false;
};

// Answers the modal widgets that appear, one after another, by clicking the
// button whose text (without '&') is given; a step may first inspect the widget.
// Arm it before the blocking call.
class ModalAnswers : public QObject
{
    Q_OBJECT
public:
    explicit ModalAnswers(QObject *parent = nullptr);
    ModalAnswers &click(const QString &buttonText,
                        std::function<void(QWidget *)> inspect = nullptr);
    // A step that acts on the modal widget itself (and must close it).
    ModalAnswers &act(std::function<void(QWidget *)> action);
    bool allAnswered() const { return m_steps.isEmpty(); }
    QList<SeenModal> seen;

private:
    void poll();
    struct Step
    {
        QString button;
        std::function<void(QWidget *)> inspect;
    };
    QList<Step> m_steps;
};

struct ChildResult
{
    int exitCode = -1;
    bool crashed = false;
    QByteArray out;
    QByteArray err;
};

// Runs one test function of this test program in a child process (for paths
// that end the process); the child sees SFP_TEST_CHILD=1 and the given
// environment entries ("NAME=value").
ChildResult runInChild(const QString &testFunction, const QStringList &environment = {},
                       int timeoutMs = 30000);
bool isChild();

// The picture a label shows, as an image of the given format (null when none).
QImage labelImage(const QLabel *label, QImage::Format format = QImage::Format_RGB32);

// Writes text to a file in dir and returns its path.
QString writeFile(const QString &dir, const QString &name, const QByteArray &content);

} // namespace sfptest

#endif
