#ifndef TN6800FP_ABOUT_H
#define TN6800FP_ABOUT_H

#include <QDialog>
#include <QList>

class QFormLayout;
class QLabel;
class QPushButton;

// The About dialog: card model, software revisions, one hardware page per
// card (with paging when there are several) and the licences of the
// libraries used. "OK" only hides it, so it keeps its pages for the whole run.
class tn6800fp_About : public QDialog
{
    Q_OBJECT
public:
    // commonRevision and qwtVersion may be null; their rows are then left out.
    tn6800fp_About(const char *softFrontPanelVersion, const char *driverRevision,
                   const char *modelString, const char *noticeText, QWidget *parent,
                   const char *commonRevision = nullptr, const char *qwtVersion = nullptr,
                   bool kissFFT = false);

    // Adds one card's page; an empty driver or panel text takes the text shown now.
    void addHardwareInfo(const QString &serialNumber, const QString &revision,
                         const QString &deviceModel, const QString &driverRevision,
                         const QString &softFrontPanelVersion);

    int pageIndex() const { return m_pageIndex; }
    int pageCount() const { return m_pages.size(); }

public slots:
    void next();
    void prev();
    void showKissFFTLicense();
    void showQtLicense();
    void showQwtLicense();
    void openLicensesWebPage();

private:
    struct Page
    {
        QString driverRevision;
        QString softFrontPanelVersion;
        QString deviceModel;
        QString revision;
        QString serialNumber;
    };
    void showPage(int index);

    int m_pageIndex = 0;
    QFormLayout *m_revisionsForm;
    QFormLayout *m_hardwareForm;
    QLabel *m_commonLabel;
    QLabel *m_driverLabel;
    QLabel *m_panelLabel;
    QLabel *m_modelLabel;
    QLabel *m_revisionLabel;
    QLabel *m_serialLabel;
    QPushButton *m_nextButton;
    QPushButton *m_prevButton;
    Page m_current;
    QList<Page> m_pages;
};

// The licences web page of the maker.
QUrl tn6800fp_licensesUrl();

#endif
