#pragma once
// The satellite status list page (tab 2): one row per satellite the receiver reports, with number,
// signal-to-noise ratio, cycle slips, elevation and azimuth, rewritten in place on each message 99
// while the tab shows.

#include "app/PageClass.h"

#include "tessel/GridListCtrl.h"

#include <array>

class CSatChart : public CMyDialog {
    STAVO_DECLARE_PAGE(CSatChart)
public:
    CSatChart();
    ~CSatChart() override;

    CStavoDlg* m_pMainDlg = nullptr;
    CGridListCtrl m_listSat;

    // Rebuilds the rows from the decoder's satellite table, writing only the cells that changed.
    void OnSatelliteData();

    // Column widths: a fifth of the screen width for the first three columns and two fifths for the
    // last, from a width 120 pixels narrower on handheld model 2.
    static std::array<int, 4> ColumnWidths(int screenWidth, int pdaType);
    // The last column's text, each number right-aligned in three places.
    static QString ElevationAzimuthText(int elevation, int azimuth);

protected:
    platform::BOOL OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    // The list keeps its place in the page when the tab control sizes the page.
    void resizeEvent(QResizeEvent* e) override;

private:
    void placeList();
    bool m_bPlaced = false;
};
