#include "platform/Printing.h"

#include "platform/Dialogs.h"
#include "platform/TempDir.h"

#include <QDir>
#include <QPrinterInfo>

namespace platform {

QString printFilePath()
{
    const QString overridden = qEnvironmentVariable("QUILLON_PRINT_PDF");
    if (!overridden.isEmpty())
        return overridden;
    return QDir(TempDirectory()).filePath(QStringLiteral("quillon-afdruk.pdf"));
}

bool printsToFile()
{
    return !qEnvironmentVariable("QUILLON_PRINT_PDF").isEmpty() || QPrinterInfo::availablePrinters().isEmpty();
}

PrintJob::PrintJob(const QString &documentName) : m_printer(QPrinter::HighResolution), m_toFile(printsToFile())
{
    m_printer.setDocName(documentName);
    if (m_toFile) {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(printFilePath());
    }
}

PrintJob::~PrintJob()
{
    if (m_painter.isActive())
        m_painter.end();
}

bool PrintJob::ask()
{
    return dialogs().printDialog(m_printer);
}

bool PrintJob::begin()
{
    return m_painter.isActive() || m_painter.begin(&m_printer);
}

bool PrintJob::newPage()
{
    return m_painter.isActive() && m_printer.newPage();
}

bool PrintJob::end()
{
    return m_painter.isActive() && m_painter.end();
}

}  // namespace platform
