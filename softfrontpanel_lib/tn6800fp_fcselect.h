#ifndef TN6800FP_FCSELECT_H
#define TN6800FP_FCSELECT_H

#include <QDialog>
#include <QList>

#include "visa.h"

class QPushButton;

// How the connection workflow begins: with the connection question (what the
// user gets without options), in demo mode, or by opening the given card.
// Whatever the start, "Try Again" leads back to the question.
struct tn6800fp_startChoice
{
    enum Kind
    {
        Ask,
        Demo,
        Open
    };
    Kind kind = Ask;
    QString descriptor; // for Open
    int fcNumber = 0;   // for Open: the card's position in its carrier
};

class QTreeWidget;
class QTreeWidgetItem;
class tn6800fp_genFC;

// The card selection dialog. It also carries the search for cards
// (findFunctionCards) and the connection workflow (selectFunctionCard), and
// holds the selection result that the function-card frame copies.
class tn6800fp_fcSelect : public QDialog
{
    Q_OBJECT
public:
    tn6800fp_fcSelect(tn6800fp_genFC *card, bool multipleSelection);

    // Rebuilds the tree from every carrier VISA reaches and returns the number
    // of cards offered (0 to 256). When at least one is offered, the result
    // fields hold the last one in tree order.
    virtual int findFunctionCards();

    // Asks how to connect and ends with a card opened (vi set), demo mode, or
    // false when the user gave up. A start choice other than Ask skips the
    // first question; an address given that way is not remembered.
    bool selectFunctionCard(const tn6800fp_startChoice &start = tn6800fp_startChoice());

    QPushButton *okButton;
    QTreeWidget *cardTree;
    QPushButton *cancelButton;
    QList<QTreeWidgetItem *> selectedRows;

    QString descriptorList; // several descriptors are joined by ","
    qint16 fcNumbers[256];
    qint32 demoMode = 0;
    qint32 fcCount = 0;
    ViSession vi = 0;
    tn6800fp_genFC *card;

    // Largest number of cards one panel can hold.
    static constexpr int maxCards = 256;

public slots:
    void dblClick(QTreeWidgetItem *item);
    void okPressed();

private:
    friend class tn6800fp_connection;
    QString modelString() const;
    QString workflowTitle() const;
};

#endif
