#include "tn6800fp_fcselect.h"

#include <QApplication>
#include <QFutureInterface>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <thread>

#include "tn6800fp_descriptor.h"
#include "tn6800fp_genfc.h"
#include "tn6800fp_icons.h"
#include "tn6800fp_search.h"

namespace {

const char *const kHint =
    "Select one available function card and then click \"OK\" \nor click \"Cancel\" to quit";

// Keeps the progress dialog up while the search runs: Escape and the window's
// close button would end its loop, and the window would then stand frozen
// until the search had ended.
class SearchGuard : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape;
    }
};

bool selectable(const QTreeWidgetItem *item)
{
    return item && (item->flags() & Qt::ItemIsSelectable);
}

} // namespace

tn6800fp_fcSelect::tn6800fp_fcSelect(tn6800fp_genFC *card, bool multipleSelection) : card(card)
{
    setObjectName(QStringLiteral("selectDialog"));
    std::fill(std::begin(fcNumbers), std::end(fcNumbers), qint16(0));
    setWindowTitle(workflowTitle());
    setWindowIcon(tn6800fp_icon(tn6800fp_windowPixmap()));

    auto *layout = new QVBoxLayout(this);
    cardTree = new QTreeWidget;
    cardTree->setObjectName(QStringLiteral("cardTree"));
    cardTree->setColumnCount(2);
    cardTree->setHeaderLabels({QStringLiteral("System"), QStringLiteral("FC Model")});
    const int line = QFontMetrics(font()).lineSpacing();
    cardTree->setMinimumSize(24 * line, 24 * line);
    if (multipleSelection)
        cardTree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(cardTree);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    okButton = new QPushButton(QStringLiteral("OK"));
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton = new QPushButton(QStringLiteral("Cancel"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(okButton, &QPushButton::clicked, this, &tn6800fp_fcSelect::okPressed);
    connect(cardTree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item, int) { dblClick(item); });
    adjustSize();
}

QString tn6800fp_fcSelect::modelString() const
{
    return tn6800fp_modelString(card->modelCode);
}

QString tn6800fp_fcSelect::workflowTitle() const
{
    return QStringLiteral("Orbana ") + modelString() + QStringLiteral(" SFP: Select Function Card");
}

void tn6800fp_fcSelect::okPressed()
{
    selectedRows = cardTree->selectedItems();
    fcCount = selectedRows.size();
    descriptorList.clear();
    for (int i = 0; i < selectedRows.size(); ++i) {
        QTreeWidgetItem *row = selectedRows.at(i);
        if (!selectable(row) || i >= maxCards) {
            qDebug("%s", kHint);
            return;
        }
        fcNumbers[i] = qint16(row->data(0, Qt::StatusTipRole).toInt());
        descriptorList += row->data(1, Qt::StatusTipRole).toString();
        if (i == selectedRows.size() - 1)
            accept();
        else
            descriptorList += QLatin1Char(',');
    }
}

void tn6800fp_fcSelect::dblClick(QTreeWidgetItem *item)
{
    if (!selectable(item))
        return;
    QTreeWidgetItem *current = cardTree->currentItem();
    if (!selectable(current)) {
        qDebug("%s", kHint);
        return;
    }
    fcNumbers[0] = qint16(current->data(0, Qt::StatusTipRole).toInt());
    descriptorList = current->data(1, Qt::StatusTipRole).toString();
    fcCount = 1;
    accept();
}

int tn6800fp_fcSelect::findFunctionCards()
{
    cardTree->clear();
    QList<resourceInfo_t> records;
    {
        QProgressDialog progress(this);
        progress.setObjectName(QStringLiteral("searchProgress"));
        progress.setWindowTitle(QStringLiteral("Orbana ") + modelString());
        progress.setLabelText(QStringLiteral("Searching..."));
        progress.setCancelButton(nullptr);
        // Busy until the resources are listed; closed only when the search
        // has ended, not on its last value, nor by Escape or the window's
        // close button: the search cannot be cancelled half-way.
        progress.setRange(0, 0);
        progress.setAutoReset(false);
        SearchGuard guard;
        progress.installEventFilter(&guard);
        QFutureInterface<void> search;
        search.reportStarted();
        QFutureWatcher<void> watcher;
        connect(&watcher, &QFutureWatcher<void>::finished, &progress, &QProgressDialog::reset);
        connect(&watcher, &QFutureWatcher<void>::progressRangeChanged, &progress,
                &QProgressDialog::setRange);
        connect(&watcher, &QFutureWatcher<void>::progressValueChanged, &progress,
                &QProgressDialog::setValue);
        watcher.setFuture(search.future());
        // Everything, from opening the resource manager on, runs on a thread
        // of its own (not one of the pool's, so the parallel part still gets
        // all min(n, 128) pool threads): the window keeps responding however
        // slow VISA is.
        std::thread job(
            [this, &records, &search] { records = tn6800fp_searchResources(card, search); });
        progress.exec();
        job.join();
    }
    records = tn6800fp_mergeCarriers(records);
    std::sort(records.begin(), records.end(), [](const resourceInfo_t &a, const resourceInfo_t &b) {
        return descriptorLessThan(a.descriptor, b.descriptor);
    });

    int offered = 0;
    QString groupKey;
    QTreeWidgetItem *group = nullptr;
    bool full = false;
    for (const resourceInfo_t &r : records) {
        const QString key = descriptorGroupKey(r.descriptor);
        if (!group || key != groupKey) {
            groupKey = key;
            group = new QTreeWidgetItem(cardTree, QStringList{key});
            group->setFlags(Qt::ItemIsEnabled);
            group->setExpanded(true);
        }
        if (r.systemTexts.isEmpty())
            continue;
        auto *carrier = new QTreeWidgetItem(group, QStringList{r.systemTexts.first()});
        carrier->setFlags(Qt::ItemIsEnabled);
        int carrierCards = 0;
        for (int k = 0; k < r.cardTexts.size() && !full; ++k) {
            const int number = r.cardNumbers.value(k);
            if (number != 0 && offered == maxCards) {
                QMessageBox box(QMessageBox::Question, workflowTitle(),
                                QStringLiteral("Found more Function Cards than supported by this "
                                               "SoftFrontPanel. Only first %1 are available.\n"
                                               "Please contact Morvix's support if you need "
                                               "support for more cards.")
                                    .arg(maxCards),
                                QMessageBox::NoButton, QApplication::activeWindow());
                box.setObjectName(QStringLiteral("cardLimitWarning"));
                box.setDefaultButton(
                    box.addButton(QStringLiteral("Continue"), QMessageBox::AcceptRole));
                box.exec();
                full = true;
                break;
            }
            auto *row = new QTreeWidgetItem(carrier, r.cardTexts.at(k));
            row->setData(0, Qt::StatusTipRole, number);
            row->setData(1, Qt::StatusTipRole, r.descriptor);
            if (number != 0) {
                row->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
                // Cards that can be chosen stand out from the other positions.
                QFont bold = row->font(0);
                bold.setBold(true);
                row->setFont(0, bold);
                row->setFont(1, bold);
                ++offered;
                ++carrierCards;
                descriptorList = r.descriptor;
                fcNumbers[0] = qint16(number);
            } else {
                row->setFlags(Qt::NoItemFlags);
            }
        }
        carrier->setExpanded(carrierCards > 0);
        if (full)
            break;
    }
    cardTree->resizeColumnToContents(0);
    cardTree->resizeColumnToContents(1);
    return offered;
}
