#pragma once
// TCyclusPrinter: prints the working copy of one rubric, or of every rubric
// of a programme (each its own print job), with each text's headline, its
// body in the page blocks it has on air, and a footer with author, date and
// time. A small status window says what it is doing meanwhile.
//
// DESIGN. The body is cut into lines and page blocks by PrintBlockLines, a
// plain function; printing only places those lines. Without a printer the
// job goes to a PDF file (platform/Printing.h); a programme's rubrics then
// go to one file each (the second "…-2.pdf" and so on), so no rubric's
// print overwrites another's.

#include <QDialog>
#include <QStringList>

class QLabel;

namespace platform {
class PrintJob;
}

namespace output {

// The lines of a stored body as printed: "<br>" and "<hrt>" (any case) end
// lines, the editor's escaped "<" is "<", trimmed; an empty line after every
// pageLength lines marks the on-air pages; no empty first or last line.
QStringList PrintBlockLines(const QString &body, int pageLength);

class TCyclusPrinter : public QDialog {
    Q_OBJECT
public:
    explicit TCyclusPrinter(QWidget *parent = nullptr);

    void setRubric(int id) { m_rubric = id; }
    void setProgramme(int id) { m_programme = id; }
    // Chooses the printer and prints; the modal result is 1 afterwards.
    void Run();
    // "Bezig met afdrukken, " + text + " ...", shown at once, then a pause so
    // it can be read.
    void status(const QString &text);

    // The pause after each status (500 ms; tests shorten it).
    static void setStatusPause(int ms);
    // The PDF files the last run wrote when it printed to files.
    QStringList files() const { return m_files; }

private:
    void printRubric(platform::PrintJob &job, int rubric);

    int m_rubric = -1;
    int m_programme = -1;
    QLabel *m_label = nullptr;
    QStringList m_files;
};

}  // namespace output
