#ifndef TN6820FP_PROGRAMTEXT_H
#define TN6820FP_PROGRAMTEXT_H

#include <QByteArray>
#include <QList>
#include <QString>

#include "tn6820fp_plan.h"

// What the exported programs, in C and in Python, have in common: the card
// they open unless told otherwise, and the words that describe the setup in
// their heads, with text from outside written so that it stays data.

// The languages a setup is exported in.
enum class tn6820fp_language
{
    C,
    Python
};

// Where an exported program finds its card unless told otherwise.
struct tn6820fp_programCard
{
    QString descriptor; // VISA resource descriptor of the carrier
    int fcNumber = 1;   // the card's position in it
};

// Text from outside (a file name, a descriptor, a formula) quoted inside a C
// comment, readable as it was given (other scripts stay as they are, in
// UTF-8), but with nothing that could end the comment ("*/"), open another
// ("/*"), splice a line (a backslash before a line end, "??/") or form a
// trigraph: the quote and the backslash are escaped as in C, a question mark
// next to another one too, and a character that would not show as itself
// is written \uXXXX.
QByteArray tn6820fp_quotedForC(const QString &text);

// The same inside a Python docstring: in double quotes, the quote and the
// backslash escaped, so that nothing can end the docstring ("""), and a
// character that would not show as itself written \uXXXX or \UXXXXXXXX.
QByteArray tn6820fp_quotedForPython(const QString &text);

// Text from outside as a string literal holding exactly its UTF-8 bytes:
// between open and the closing quote, printable ASCII as itself but for the
// quote, the backslash and the characters in alsoEscaped, each behind a
// backslash, and every other byte as an escape that escapeFormat (a printf
// format taking the byte) writes, one that no following character can extend.
QByteArray tn6820fp_byteLiteral(const QString &text, const char *open, const char *alsoEscaped,
                                const char *escapeFormat);

// The setup described line by line, without line ends: the frequency asked
// for and what the card outputs, the rate and filter codes and the mode,
// then each selected channel. Text from outside is quoted by quote.
QList<QByteArray> tn6820fp_describeSetup(const tn6820fp_panelSettings &settings,
                                         const tn6820fp_plan &plan,
                                         QByteArray (*quote)(const QString &));

#endif
