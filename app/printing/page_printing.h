// Printing glue: the frozen ECG page and the 12-lead report go to a printer chosen in the print
// dialog, or to a PDF file for scripts and tests, through the same drawing.
#pragma once

#include <QString>

class QPrinter;

namespace vantrel {

class FrozenEcg;
struct TwelveLeadReport;

// Sets a printer up to write one PDF file: A4, 10 mm margins, 600 dots per inch, in the given
// orientation.
void SetUpPdfPrinter(QPrinter& printer, const QString& pdfPath, bool landscape);

// Prints the page of frozen strips; false when the print job could not start.
bool PrintFrozenPage(QPrinter& printer, const FrozenEcg& frozen, const QString& caption);

// Prints the 12-lead report on one page; false when the print job could not start.
bool PrintTwelveLeadReport(QPrinter& printer, const TwelveLeadReport& report);

// The platform's message for a job that could not start.
inline const char* kPrintJobFailed = "Could not start print job.";

}  // namespace vantrel
