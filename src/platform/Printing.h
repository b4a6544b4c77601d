#pragma once
// Printing: a job on the default printer, or a PDF file when the machine has
// no printer or QUILLON_PRINT_PDF names a file, so every print path can run
// in a test or on a headless desk machine. The print dialog, where a window
// offers one, goes through the dialog service like every other dialog.

#include <QPainter>
#include <QPrinter>
#include <QString>

#include <memory>

namespace platform {

// The PDF file that printing writes when there is no printer:
// $QUILLON_PRINT_PDF, else "quillon-afdruk.pdf" in the temporary folder.
QString printFilePath();

// True when print jobs go to printFilePath() instead of a printer.
bool printsToFile();

// A print job. Construct, optionally ask(), then begin(), paint with painter(),
// newPage() between pages, end(). The destructor ends a job still open.
class PrintJob {
public:
    explicit PrintJob(const QString &documentName);
    ~PrintJob();
    PrintJob(const PrintJob &) = delete;
    PrintJob &operator=(const PrintJob &) = delete;

    QPrinter &printer() { return m_printer; }
    bool toFile() const { return m_toFile; }

    // The print dialog (through the dialog service); false when cancelled.
    bool ask();
    // Starts painting; false when the printer or file cannot be opened.
    bool begin();
    QPainter &painter() { return m_painter; }
    bool newPage();
    // Ends the job and sends it; false when it was never started.
    bool end();

private:
    QPrinter m_printer;
    QPainter m_painter;
    bool m_toFile = false;
};

}  // namespace platform
