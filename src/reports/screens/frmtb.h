#pragma once

#include "reports/storepicture.h"
#include "store/formats.h"

#include <QPageLayout>
#include <QWidget>

class QChart;
class QChartView;
class QPagedPaintDevice;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;

// "图表": the open account set at a glance. The stock value at each month-end closing as a
// line, the period's consumption by consuming unit and the ten materials of the highest stock
// value as bars; kept as a picture or a PDF page.
class FrmTb : public QWidget
{
    Q_OBJECT

public:
    enum Button { Refresh, Picture, Pdf, Exit };

    FrmTb(Database &db, int accountingMode, const Formats &formats, QWidget *parent = nullptr);

    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    QChart *closingsChart() const;
    QChart *consumptionChart() const;
    QChart *materialsChart() const;
    const StorePicture::Figures &figures() const { return m_figures; }

    // Reads the figures of the period and draws them; false when it was refused.
    bool refresh();
    // The three charts as they are on screen.
    QImage image() const;
    // Writes them as a PNG picture, or as one landscape PDF page. Throw StoreError.
    void writePng(const QString &file) const;
    void writePdf(const QString &file) const;

private:
    void draw();
    // One landscape page with the picture as large as it fits.
    static QPageLayout page();
    void paint(QPagedPaintDevice *device) const;

    Database &m_db;
    int m_mode;
    Formats m_formats;
    StorePicture::Figures m_figures;
    QString m_firm;
    ReportPeriod m_period; // of the figures drawn
    DatePicker *m_from;
    DatePicker *m_to;
    QWidget *m_board;
    QChartView *m_closings;
    QChartView *m_consumption;
    QChartView *m_materials;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
