#pragma once
// The sky plot and signal-to-noise page (tab 1): a polar view of the satellites the receiver reports
// (north up, elevation as the distance from the rim) with the elevation mask as a dashed circle and a
// north marker, and to its right a bar per satellite for its signal-to-noise ratio. The whole page is
// drawn off screen and copied in one step, on each message 99 while the tab shows.

#include "app/PageClass.h"

class QPainter;

class CSatMapSNR : public CMyDialog {
    STAVO_DECLARE_PAGE(CSatMapSNR)
public:
    CSatMapSNR();
    ~CSatMapSNR() override;

    int m_nVisibleSats = 0; // satellites with a number, counted at each paint
    CStavoDlg* m_pMainDlg = nullptr;

    // Has the whole page redrawn at the next paint, without erasing it first.
    void OnSatelliteData();

    // Draws the page into dc over the client rectangle: the sky plot, then the chart.
    void Draw(QPainter* dc, const QRect& client);

protected:
    platform::BOOL OnInitDialog() override;
    void paintEvent(QPaintEvent* e) override;

private:
    void DrawSkyPlot(QPainter* dc, const QRect& client);
    void DrawNorthMarker(QPainter* dc);
    void DrawSnrChart(QPainter* dc, const QRect& client);
};
