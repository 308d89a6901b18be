// The printed page of the frozen ECG: up to six strips of two leads at 25 mm/s, each ending at a
// queued frozen position, the calipers on the strip that was on show, and a caption naming the
// leads.  Drawn in the device pixels of the printable area, so that a printer, a PDF file and an
// image in the tests get the same page.
#pragma once

#include <QString>
#include <cstdint>

class QPainter;

namespace vantrel {

class FrozenEcg;

struct PrintPageMetrics {
    int dpiX = 600;          // horizontal device pixels per inch
    int dpiY = 600;          // vertical device pixels per inch
    int physicalWidth = 0;   // the whole sheet's width, device pixels
    int printableHeight = 0; // height of the printable area, device pixels
};

// One strip of the page: where it lies and which frozen position it ends at.
struct PrintedStrip {
    int32_t position = 0;  // seconds before the freeze
    int32_t top = 0, bottom = 0;
};

// The caption: "Leads: " + first lead + " & " + second lead + the product notice.
QString PrintCaption(const QString& firstLead, const QString& secondLead);

// The positions printed, in page order: the queued ones up to the first below 1, then the one on
// show when it is at least 1, six at most; and where each strip lies on the page.
int PlanPrintedStrips(const FrozenEcg& frozen, const PrintPageMetrics& metrics, PrintedStrip strips[6]);

// Draws the page; `caption` goes at the top.
void DrawEcgPrintPage(QPainter& p, const FrozenEcg& frozen, const PrintPageMetrics& metrics, const QString& caption);

}  // namespace vantrel
