#ifndef TN6800FP_SPLASHLABEL_H
#define TN6800FP_SPLASHLABEL_H

#include <QPixmap>

// The start-up picture: the common background with the card's picture, the
// product line, the card's name and its notice painted on it (520 x 400).
class tn6800fp_splashLabel : public QPixmap
{
public:
    // scale sizes the title and name fonts; inset narrows the text area on both sides.
    tn6800fp_splashLabel(float scale, int inset, int modelCode, bool hexadecimal,
                         const QString &noticeText, const QString &displayName);
    ~tn6800fp_splashLabel();
};

// The card's name as the splash shows it: " FC" becomes " Function Card".
QString tn6800fp_displayName(const QString &description);

#endif
