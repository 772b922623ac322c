#ifndef TN6800FP_CALLLOGWINDOW_H
#define TN6800FP_CALLLOGWINDOW_H

#include <QWidget>

class QLineEdit;
class tn6800fp_callFilter;
class QTableView;
class tn6800fp_callTable;

// The window that shows the call log as a table, newest at the bottom and
// followed while the view is at the bottom: errors in red, warnings in amber,
// a filter over every column, and Copy, Save... and Clear. Not modal.
class tn6800fp_callLogWindow : public QWidget
{
    Q_OBJECT
public:
    explicit tn6800fp_callLogWindow(const QString &title, QWidget *parent = nullptr);

    QTableView *view() const { return m_view; }
    int rowsShown() const;

public slots:
    // The selected rows to the clipboard, one line each as in a log file.
    void copySelected();
    void saveAll();
    void clearLog();

private:
    tn6800fp_callTable *m_table;
    tn6800fp_callFilter *m_filter;
    QTableView *m_view;
    QLineEdit *m_filterEdit;
};

#endif
