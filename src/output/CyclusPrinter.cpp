#include "output/CyclusPrinter.h"

#include "core/Database.h"
#include "core/Dates.h"
#include "core/Global.h"
#include "core/Helpers.h"
#include "db/Postgres.h"
#include "output/CyclusLogic.h"
#include "platform/Printing.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QThread>

namespace output {

namespace {
int s_pause = 500;

QString num(int n)
{
    return QString::number(n);
}
}  // namespace

QStringList PrintBlockLines(const QString &body, int pageLength)
{
    QString text = body;
    static const QRegularExpression ends(QStringLiteral("<(br|hrt)>"), QRegularExpression::CaseInsensitiveOption);
    text.replace(ends, QStringLiteral("\n"));
    text.replace(QStringLiteral("<\u2264>"), QStringLiteral("<"));
    const QStringList lines = text.trimmed().split(QLatin1Char('\n'));
    QStringList out;
    for (int i = 0; i < lines.size(); ++i) {
        out << lines[i];
        if (pageLength > 0 && (i + 1) % pageLength == 0)
            out << QString();
    }
    while (!out.isEmpty() && out.last().trimmed().isEmpty())
        out.removeLast();
    while (!out.isEmpty() && out.first().trimmed().isEmpty())
        out.removeFirst();
    return out;
}

void TCyclusPrinter::setStatusPause(int ms)
{
    s_pause = ms;
}

TCyclusPrinter::TCyclusPrinter(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CyclusPrinter"));
    setWindowTitle(QStringLiteral("Ogenblikje ..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(350, 50);
    m_label = new QLabel(QStringLiteral("Bezig met afdrukken ..."), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setGeometry(5, 0, 250, 50);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto *cancel = new QPushButton(QStringLiteral("&Afbreken"), this);
    cancel->setObjectName(QStringLiteral("Button1"));
    cancel->adjustSize();
    cancel->move(350 - 10 - cancel->width(), (50 - cancel->height()) / 2);
    // Printing runs to its end; the button only closes the window afterwards.
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TCyclusPrinter::status(const QString &text)
{
    m_label->setText(QStringLiteral("Bezig met afdrukken, ") + text + QStringLiteral(" ..."));
    m_label->repaint();
    QApplication::processEvents();
    if (s_pause > 0)
        QThread::msleep(s_pause);
}

void TCyclusPrinter::Run()
{
    m_files.clear();
    status(QStringLiteral("printer kiezen"));
    platform::PrintJob first(QStringLiteral("Quillon - Rubriek"));
    if (!first.ask()) {
        setResult(1);
        return;
    }
    status(QStringLiteral("rubriek"));
    QList<int> rubrics;
    if (m_programme < 0) {
        rubrics << m_rubric;
    } else {
        auto rs = core::Query(QStringLiteral("select t.id from tblrubriek t, tblzenderrubriek z where z.zender = ") +
                              num(m_programme) + QStringLiteral(" and z.rubriek = t.id order by naam"));
        for (int i = 0; i < rs->RowCount(); ++i) {
            const int id = rs->Row(i).value(0).toInt();
            if (!rubrics.contains(id))
                rubrics << id;
        }
    }
    const QFileInfo file(first.printer().outputFileName());
    for (int i = 0; i < rubrics.size(); ++i) {
        platform::PrintJob job(QStringLiteral("Quillon - Rubriek"));
        if (!job.toFile())
            job.printer().setPrinterName(first.printer().printerName());
        else if (i > 0)
            job.printer().setOutputFileName(
                file.dir().filePath(file.completeBaseName() + QStringLiteral("-%1.").arg(i + 1) + file.suffix()));
        printRubric(job, rubrics[i]);
        if (job.toFile())
            m_files << job.printer().outputFileName();
    }
    setResult(1);
}

// One print job: the page header, then every text of the rubric's working
// copy with its headline, its page blocks, a rule and the footer.
void TCyclusPrinter::printRubric(platform::PrintJob &job, int rubric)
{
    if (!job.begin())
        throw std::runtime_error("de printer kan niet beginnen");
    QPainter &p = job.painter();
    QPrinter &printer = job.printer();
    const int pageHeight = printer.height();
    const int pageWidth = printer.width();
    const int top = pageHeight / 35;
    const int left = qRound(printer.logicalDpiX() * 0.78);
    int pageLength = 200;

    auto rubricRow = core::Query(QStringLiteral("select naam,txt from tblrubriek where id = ") + num(rubric) +
                                 QStringLiteral(" and not onair"));
    const QString name = rubricRow->RowCount() ? rubricRow->Row(0).value(0) : QString();
    const QString content = rubricRow->RowCount() ? rubricRow->Row(0).value(1) : QString();

    QFont font(QStringLiteral("Arial"));
    int y = 0;
    auto h = [&]() { return QFontMetrics(p.font(), &printer).height(); };
    auto header = [&]() {
        font.setPointSize(12);
        font.setBold(false);
        p.setFont(font);
        y = top;
        const QFontMetrics fm(font, &printer);
        p.drawText(left, y + fm.ascent(), QStringLiteral("Rubriek: "));
        QFont bold = font;
        bold.setBold(true);
        p.setFont(bold);
        p.drawText(left + fm.horizontalAdvance(QStringLiteral("Rubriek: ")), y + fm.ascent(), name);
        p.setFont(font);
        const QString when = core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy hh:nn"), core::Now());
        p.drawText(pageWidth - left - fm.horizontalAdvance(when), y + fm.ascent(), when);
        y += fm.height();
        p.setPen(QPen(Qt::black, 20));
        p.drawLine(left, y + fm.height() / 2, pageWidth - left, y + fm.height() / 2);
        p.setPen(QPen(Qt::black, 10));
        y += fm.height();
        font.setPointSize(14);
        p.setFont(font);
    };
    header();
    bool firstText = true;
    const auto ids = ParseRubricContent(content);
    for (int id : ids.value_or(QList<int>())) {
        auto text = core::Query(QStringLiteral("select * from tblteksten where id = ") + num(id));
        if (text->RowCount() == 0)
            continue;
        const QStringList row = text->Row(0);
        auto tpl = core::Query(QStringLiteral("select editor from tbltemplate where id = ") + row.value(7));
        bool ok = false;
        const int length =
            core::ParamListValue(tpl->RowCount() ? tpl->Row(0).value(0) : QString(), QStringLiteral("pagelength"))
                .trimmed()
                .toInt(&ok);
        if (ok && length > 0)
            pageLength = length;
        const QStringList lines = PrintBlockLines(row.value(2), pageLength);
        const int lh = h();
        if (!firstText && pageHeight - top < y + (3 * lh + lh / 2) + (lh + lh / 2) * (lines.size() + 1)) {
            job.newPage();
            header();
        }
        firstText = false;
        y += lh;
        QFont bold = font;
        bold.setBold(true);
        p.setFont(bold);
        p.drawText(left, y + QFontMetrics(bold, &printer).ascent(), row.value(1));
        p.setFont(font);
        y += 2 * lh;
        for (const QString &line : lines) {
            y += lh / 2;
            p.drawText(left, y + QFontMetrics(font, &printer).ascent(), line);
            y += lh;
            if (y > pageHeight - 2 * lh - top) {
                job.newPage();
                header();
            }
        }
        y += lh;
        p.setPen(QPen(Qt::black, 5));
        p.drawLine(left, y, pageWidth - left, y);
        p.setPen(QPen(Qt::black, 10));
        QFont small = font;
        small.setPointSize(font.pointSize() - 4);
        p.setFont(small);
        auto who = core::Query(QStringLiteral("select loginnaam from tbluser where userid = ") + row.value(10));
        const QString author =
            who->RowCount() && !who->Row(0).value(0).isEmpty() ? who->Row(0).value(0) : QStringLiteral("<onbekend>");
        QString date = row.value(3);
        try {
            date = core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy"), core::YmdToDate(date));
        } catch (const std::exception &) {
            // a stored date that does not read is printed as it is
        }
        p.drawText(left, y + 5 + QFontMetrics(small, &printer).ascent(),
                   author + QLatin1Char(' ') + date + QLatin1Char(' ') + row.value(4));
        p.setFont(font);
        y += 2 * lh + lh + lh / 2;
    }
    job.end();
}

}  // namespace output
