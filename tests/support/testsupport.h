#ifndef SFP_TESTSUPPORT_H
#define SFP_TESTSUPPORT_H

#include <QImage>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QVector>
#include <functional>
#include <type_traits>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

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
// Arm it before the blocking call. Several may live at once: the steps of the
// one made first are used up first.
//
// It is strict: a modal widget that no step plans for, one whose buttons do not
// hold the next step's button, or one that an act() step left open, is rejected
// at once (Escape's button, or reject()) and fails the running test, so that a
// wrong box costs a moment instead of the test's whole time limit.
class ModalAnswers : public QObject
{
    Q_OBJECT
public:
    explicit ModalAnswers(QObject *parent = nullptr);
    ~ModalAnswers() override;
    ModalAnswers &click(const QString &buttonText,
                        std::function<void(QWidget *)> inspect = nullptr);
    // A step that acts on the modal widget itself (and must close it).
    ModalAnswers &act(std::function<void(QWidget *)> action);
    bool allAnswered() const { return m_steps.isEmpty(); }
    QList<SeenModal> seen;
    QStringList rejected; // what was rejected as unplanned, and why

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void poll();
    bool answer(QWidget *w);
    void reject(QWidget *w, const QString &why);
    struct Step
    {
        QString button;
        std::function<void(QWidget *)> inspect;
    };
    QList<Step> m_steps;
    QPointer<QWidget> m_acted;   // given to an act() step, not hidden since
    QPointer<QWidget> m_waiting; // shown without the next step's button
    int m_polls = 0;             // polls that found m_acted or m_waiting still up
};

struct ChildResult
{
    int exitCode = -1;
    bool crashed = false;
    QByteArray out;
    QByteArray err;
};

// Runs one test function of this test program in a child process (for paths
// that end the process); the child sees SFP_TEST_CHILD=1, the given
// environment entries ("NAME=value") and a TMPDIR of its own inside the
// parent's temporary folder, removed afterwards even when the child ends
// through _Exit. With permissionsBind, a child of root runs without the
// capabilities that let root read and write past file permissions
// (setpriv), so that a read-only folder or an unreadable file is what it is
// for any other user.
ChildResult runInChild(const QString &testFunction, const QStringList &environment = {},
                       int timeoutMs = 30000, bool permissionsBind = false);
bool isChild();

// The picture a label shows, as an image of the given format (null when none).
QImage labelImage(const QLabel *label, QImage::Format format = QImage::Format_RGB32);

// Writes text to a file in dir and returns its path.
QString writeFile(const QString &dir, const QString &name, const QByteArray &content);

// A label's text, or "<missing>" when there is no such label.
QString labelText(const QWidget &w, const char *name);

// Equal to the last bit, so -0.0 differs from 0.0 and NaNs compare.
bool sameBits(const QVector<double> &a, const std::vector<double> &b);
bool sameBits(double a, double b);

// The row of a tree whose first column says first, under a parent row whose
// first column says parent; null when there is none.
QTreeWidgetItem *treeRow(QTreeWidget *tree, const QString &first, const QString &parent);

// A fresh folder named by ALLUSERSPROFILE for the run of one test, so the
// remembered-address file starts empty and lands in no real profile.
struct ProfileDir
{
    ProfileDir();
    ~ProfileDir();
    QString path() const { return dir.path(); }
    QString iniPath() const;
    QTemporaryDir dir;
};

// What is wrong with a window's layout as a user would see it: a visible
// label, button, check box or group title narrower than its size hint (its
// text is clipped), or a tab of a tab widget that is not wholly in view.
// Empty when nothing is.
QStringList layoutProblems(QWidget *window);

// A step for the address-entry dialog's first row: types the descriptor,
// picks the card number (0 = "Select") and presses OK.
std::function<void(QWidget *)> enterAddress(const QString &descriptor, int cardNumber);

// The named child; when there is none, the running test fails and a stand-in
// of the same type is returned, so the test ends normally instead of
// crashing or aborting the whole run.
template <typename T> T *child(QObject *parent, const QString &name)
{
    if (T *c = parent->findChild<T *>(name))
        return c;
    QTest::qFail(qPrintable(QStringLiteral("no child '%1'").arg(name)), __FILE__, __LINE__);
    T *standIn = nullptr;
    if constexpr (std::is_default_constructible<T>::value)
        standIn = new T;
    else // widgets built from a text and a colour, like the lamp
        standIn = new T(QString(), "red");
    standIn->setObjectName(name);
    if constexpr (std::is_base_of<QWidget, T>::value)
        standIn->setParent(qobject_cast<QWidget *>(parent));
    else
        standIn->setParent(parent);
    return standIn;
}

} // namespace sfptest

#endif
