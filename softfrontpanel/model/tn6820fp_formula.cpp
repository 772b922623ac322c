#include "tn6820fp_formula.h"

#include <QRegularExpression>
#include <cmath>
#include <muParser.h>
#include <string>

const char *const tn6820fp_initialFormula = "sin(2*pi*x)";

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kE = 2.71828182845904523536;

double power(double a, double b)
{
    return std::pow(a, b);
}
double floorOf(double v)
{
    return std::floor(v);
}
double ceilOf(double v)
{
    return std::ceil(v);
}
double roundOf(double v)
{
    return std::round(v);
}
double modOf(double a, double b)
{
    return std::fmod(a, b);
}

// The names a formula may use besides muParser's own functions (sin, cos,
// tan and their inverses and hyperbolic ones, exp, ln and log (both natural),
// log2, log10, sqrt, abs, sign, rint, min, max, sum, avg).
void prepare(mu::Parser &p, double *x, double *n, double frequency, double samples)
{
    p.DefineVar("x", x);
    p.DefineVar("n", n);
    p.DefineConst("pi", kPi);
    p.DefineConst("e", kE);
    p.DefineConst("f", frequency);
    p.DefineConst("N", samples);
    p.DefineFun("pow", power);
    p.DefineFun("floor", floorOf);
    p.DefineFun("ceil", ceilOf);
    p.DefineFun("round", roundOf);
    p.DefineFun("mod", modOf);
}

// The character, counted from 1, at a byte offset of the text's UTF-8.
int characterAt(const std::string &utf8, int offset)
{
    const int bytes = std::max(0, std::min(offset, int(utf8.size())));
    return int(QString::fromUtf8(utf8.data(), bytes).size()) + 1;
}

// muParser's message without its own place (counted from 0), which the
// caller gives counted from 1: "unexpected operator \"/\"".
QString reasonOf(const mu::Parser::exception_type &e)
{
    if (e.GetCode() == mu::ecUNASSIGNABLE_TOKEN) {
        // muParser gives the rest of the text from there: its first word is meant.
        const QString rest = QString::fromStdString(e.GetToken()).trimmed();
        const int end = rest.indexOf(QRegularExpression(QStringLiteral("[\\s+\\-*/^()<>=!&|?:,]")));
        return QStringLiteral("\"%1\" is no name a formula knows")
            .arg(end > 0 ? rest.left(end) : rest.left(1));
    }
    QString reason = QString::fromStdString(e.GetMsg());
    reason.remove(QRegularExpression(QStringLiteral("\\s*(found\\s+)?at position \\d+")));
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    if (!reason.isEmpty())
        reason[0] = reason[0].toLower();
    return reason;
}

// The first comma outside every parenthesis, counted from 1; 0 for none.
int topLevelComma(const QString &text)
{
    int depth = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        else if (c == QLatin1Char(',') && depth <= 0)
            return i + 1;
    }
    return 0;
}

} // namespace

std::shared_ptr<const tn6820fp_formula> tn6820fp_formula::parse(const QString &text, QString *why)
{
    const auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return nullptr;
    };
    if (text.size() > tn6820fp_maxFormulaLength)
        return refuse(QStringLiteral("%1 characters; a formula has at most %2")
                          .arg(text.size())
                          .arg(tn6820fp_maxFormulaLength));
    if (text.trimmed().isEmpty())
        return refuse(QStringLiteral("empty; type an expression of x, such as %1")
                          .arg(QLatin1String(tn6820fp_initialFormula)));
    const std::string utf8 = text.toStdString();
    double x = 0;
    double n = 0;
    try {
        mu::Parser p;
        prepare(p, &x, &n, 1.0, 1.0);
        p.SetExpr(utf8);
        p.Eval(); // the syntax is checked here
        // "0,5" would be two results, of which muParser keeps the last.
        if (p.GetNumResults() != 1)
            return refuse(QStringLiteral("character %1: a comma separates the arguments of a "
                                         "function only (decimals take a point)")
                              .arg(topLevelComma(text)));
    } catch (const mu::Parser::exception_type &e) {
        if (e.GetPos() < 0)
            return refuse(reasonOf(e));
        return refuse(QStringLiteral("character %1: %2")
                          .arg(characterAt(utf8, int(e.GetPos())))
                          .arg(reasonOf(e)));
    } catch (...) {
        return refuse(QStringLiteral("not a formula"));
    }
    if (why)
        why->clear();
    return std::shared_ptr<const tn6820fp_formula>(new tn6820fp_formula(text));
}

int tn6820fp_formula::evaluate(int count, int multiple, double frequency, double *values) const
{
    double x = 0;
    double n = 0;
    const double m = std::max(1, multiple);
    int first = -1;
    try {
        mu::Parser p;
        prepare(p, &x, &n, frequency, count / m);
        p.SetExpr(m_text.toStdString());
        for (int k = 0; k < count; ++k) {
            x = double(k) / count;
            n = k / m;
            const double v = p.Eval();
            values[k] = v;
            if (first < 0 && !std::isfinite(v))
                first = k;
        }
    } catch (...) {
        // A formula that parsed does not fail later; should it, nothing plays.
        for (int k = 0; k < count; ++k)
            values[k] = std::nan("");
        first = 0;
    }
    return first;
}

QString tn6820fp_notFiniteText(int k, int count, double value)
{
    const QString what = std::isnan(value) ? QStringLiteral("NaN")
                         : value > 0       ? QStringLiteral("infinity")
                                           : QStringLiteral("minus infinity");
    return QStringLiteral("gives %1 at x = %2 (sample %3 of %4)")
        .arg(what)
        .arg(QString::number(double(k) / count, 'g', 6))
        .arg(k)
        .arg(count);
}
