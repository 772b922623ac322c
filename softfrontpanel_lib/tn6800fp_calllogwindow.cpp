#include "tn6800fp_calllogwindow.h"
#include "tn6800fp_savefile.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <deque>

#include "tn6800fp_calllog.h"
#include "tn6800fp_messages.h"
#include "tn6800fp_widgets.h"

// The log's calls as rows; it takes what was recorded since it last looked.
class tn6800fp_callTable : public QAbstractTableModel
{
public:
    enum Column
    {
        Time,
        Thread,
        Call,
        Arguments,
        Status,
        Name,
        Duration,
        Columns
    };

    tn6800fp_callTable(QObject *parent) : QAbstractTableModel(parent)
    {
        connect(&tn6800fp_callLog::instance(), &tn6800fp_callLog::changed, this,
                &tn6800fp_callTable::fetch);
        fetch();
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : Columns;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char *const names[] = {
            "Time (ms)", "Thread", "Call", "Arguments", "Status", "Name", "Duration (\u00b5s)"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < Columns)
            return QString::fromUtf8(names[section]);
        return QVariant();
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const tn6800fp_loggedCall &c = m_rows[std::size_t(index.row())];
        if (role == Qt::ForegroundRole && tn6800fp_callLog::failed(c))
            return QColor(0xc6, 0x28, 0x28);
        if (role == Qt::ForegroundRole && c.function && c.status > 0)
            return QColor(0xb3, 0x5c, 0x00);
        if (role == Qt::ToolTipRole)
            return tn6800fp_callLog::line(c);
        if (role != Qt::DisplayRole)
            return QVariant();
        return shown(c, index.column());
    }

    // A column's text of a call, as the table shows it.
    static QString shown(const tn6800fp_loggedCall &c, int column)
    {
        switch (column) {
        case Time:
            return QString::number(c.startMs, 'f', 3);
        case Thread:
            return tn6800fp_callLog::threadName(c.thread);
        case Call:
            return c.function ? QString::fromLatin1(c.function) : QString();
        case Arguments:
            return c.arguments;
        case Status:
            return c.function
                       ? QStringLiteral("0x") + QStringLiteral("%1")
                                                    .arg(quint32(c.status), 8, 16, QLatin1Char('0'))
                                                    .toUpper()
                       : QString();
        case Name:
            return c.function ? tn6800fp_callLog::statusName(c.status) : QString();
        case Duration:
            return c.function ? QString::number(qRound64(c.durationUs)) : QString();
        default:
            return QString();
        }
    }

    const tn6800fp_loggedCall &call(int row) const { return m_rows[std::size_t(row)]; }

    void fetch()
    {
        qint64 total = 0;
        const QVector<tn6800fp_loggedCall> fresh =
            tn6800fp_callLog::instance().latest(m_seen, &total);
        m_seen = total;
        if (fresh.isEmpty())
            return;
        const int drop =
            std::max(0, int(m_rows.size()) + int(fresh.size()) - tn6800fp_callLog::capacity);
        if (drop > 0) {
            beginRemoveRows(QModelIndex(), 0, drop - 1);
            m_rows.erase(m_rows.begin(), m_rows.begin() + drop);
            m_texts.erase(m_texts.begin(), m_texts.begin() + drop);
            endRemoveRows();
        }
        beginInsertRows(QModelIndex(), int(m_rows.size()),
                        int(m_rows.size()) + int(fresh.size()) - 1);
        m_rows.insert(m_rows.end(), fresh.begin(), fresh.end());
        for (const tn6800fp_loggedCall &c : fresh)
            m_texts.push_back(searchText(c));
        endInsertRows();
    }

    // Whether any column of the row holds the text (given in lower case, as
    // UTF-8): the filter asks this of every row at each keystroke, so each
    // row's columns are kept formatted, in lower case, from when it came.
    bool holds(int row, const QByteArray &lower) const
    {
        return m_texts[std::size_t(row)].contains(lower);
    }

    void clear()
    {
        beginResetModel();
        m_rows.clear();
        m_texts.clear();
        m_seen = tn6800fp_callLog::instance().recorded();
        endResetModel();
    }

private:
    // Every column as shown, in lower case, apart from each other.
    static QByteArray searchText(const tn6800fp_loggedCall &c)
    {
        QByteArray text;
        for (int column : {Time, Thread, Call, Arguments, Status, Name, Duration})
            text.append(shown(c, column).toLower().toUtf8()).append('\n');
        return text;
    }

    std::deque<tn6800fp_loggedCall> m_rows;
    std::deque<QByteArray> m_texts; // searchText of each row
    qint64 m_seen = 0;
};

// Shows the rows that hold the filter's text in any column.
class tn6800fp_callFilter : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setText(const QString &text)
    {
        m_lower = text.toLower().toUtf8();
        // One change of layout: filtering again row range by row range tells
        // the view of every range apart, thousands for an interleaved log,
        // and each costs it a pass over all rows.
        invalidate();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &) const override
    {
        return m_lower.isEmpty() ||
               static_cast<const tn6800fp_callTable *>(sourceModel())->holds(row, m_lower);
    }

private:
    QByteArray m_lower;
};

tn6800fp_callLogWindow::tn6800fp_callLogWindow(const QString &title, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("callLogWindow"));
    setWindowTitle(title);
    m_table = new tn6800fp_callTable(this);
    m_filter = new tn6800fp_callFilter(this);
    m_filter->setSourceModel(m_table);
    m_view = new QTableView;
    m_view->setObjectName(QStringLiteral("callTable"));
    m_view->setModel(m_filter);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    m_view->horizontalHeader()->setStretchLastSection(false);
    m_view->horizontalHeader()->setSectionResizeMode(tn6800fp_callTable::Arguments,
                                                     QHeaderView::Stretch);
    for (int c : {tn6800fp_callTable::Time, tn6800fp_callTable::Thread, tn6800fp_callTable::Status,
                  tn6800fp_callTable::Duration})
        m_view->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    m_view->setColumnWidth(
        tn6800fp_callTable::Call,
        m_view->fontMetrics().horizontalAdvance(QStringLiteral("tn6820_startContWaveformEx ")));
    m_view->setColumnWidth(tn6800fp_callTable::Name, m_view->fontMetrics().horizontalAdvance(
                                                         QStringLiteral("VI_ERROR_RSRC_NFOUND ")));
    m_filterEdit = new QLineEdit;
    m_filterEdit->setObjectName(QStringLiteral("callFilter"));
    m_filterEdit->setPlaceholderText(QStringLiteral("Filter"));
    m_filterEdit->setClearButtonEnabled(true);
    tn6800fp_setHelp(m_filterEdit, QStringLiteral("Shows only the calls with this text in any "
                                                  "column"));
    auto *copy = new QPushButton(QStringLiteral("Copy"));
    copy->setObjectName(QStringLiteral("copyCallsButton"));
    tn6800fp_setHelp(copy, QStringLiteral("Copies the selected calls as text"));
    auto *save = new QPushButton(QStringLiteral("Save..."));
    save->setObjectName(QStringLiteral("saveCallsButton"));
    tn6800fp_setHelp(save, QStringLiteral("Saves every call of the log to a text file"));
    auto *clear = new QPushButton(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("clearCallsButton"));
    tn6800fp_setHelp(clear, QStringLiteral("Empties the log"));
    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Filter")));
    bar->addWidget(m_filterEdit, 1);
    bar->addWidget(copy);
    bar->addWidget(save);
    bar->addWidget(clear);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);
    resize(m_view->fontMetrics().averageCharWidth() * 200, m_view->fontMetrics().height() * 32);

    connect(m_filterEdit, &QLineEdit::textChanged, m_filter, &tn6800fp_callFilter::setText);
    connect(copy, &QPushButton::clicked, this, &tn6800fp_callLogWindow::copySelected);
    connect(save, &QPushButton::clicked, this, &tn6800fp_callLogWindow::saveAll);
    connect(clear, &QPushButton::clicked, this, &tn6800fp_callLogWindow::clearLog);
    // Followed while at the bottom: a user who scrolled up to read stays there.
    connect(m_filter, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        QScrollBar *bar = m_view->verticalScrollBar();
        m_view->setProperty("follow", bar->value() == bar->maximum());
    });
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_view->property("follow").toBool())
            m_view->scrollToBottom();
    });
    m_view->scrollToBottom();
}

int tn6800fp_callLogWindow::rowsShown() const
{
    return m_filter->rowCount();
}

void tn6800fp_callLogWindow::copySelected()
{
    QStringList lines;
    QModelIndexList rows = m_view->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    for (const QModelIndex &row : rows)
        lines << tn6800fp_callLog::line(m_table->call(m_filter->mapToSource(row).row()));
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void tn6800fp_callLogWindow::saveAll()
{
    QFileDialog dialog(this, QStringLiteral("Save Driver Calls"), QString(),
                       QStringLiteral("Text files (*.txt);;All files (*)"));
    dialog.setObjectName(QStringLiteral("callsFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    QByteArray text;
    for (int row = 0; row < m_table->rowCount(QModelIndex()); ++row)
        text += tn6800fp_callLog::line(m_table->call(row)).toLocal8Bit() + '\n';
    const QString why = tn6800fp_saveFile(path, text);
    if (!why.isEmpty())
        showWarning(
            QStringLiteral("The calls were not saved. %1.").arg(tn6800fp_saveFailure(path, why)));
}

void tn6800fp_callLogWindow::clearLog()
{
    tn6800fp_callLog::instance().clear();
    m_table->clear();
}
