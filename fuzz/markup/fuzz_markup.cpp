// Feeds arbitrary text to everything that reads markup or configuration
// written by people: the ini reader, both view layouts, percent decoding and
// key lists. None of them may crash or loop, and the layouts must keep their
// invariants: every run starts at or after the left margin, rows never go
// backwards, and the rendered image always holds the last row.

#include "core/Helpers.h"
#include "core/LogView.h"
#include "platform/IniFile.h"
#include "views/HighlightView.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {
class FixedMeasure : public platform::TextMeasure {
public:
    int width(const QString &text, bool bold) const override { return int(text.size()) * (bold ? 7 : 6); }
    int rowHeight() const override { return 10; }
};

void check(bool ok)
{
    if (!ok)
        std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int width = 1 + data[0];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString text = QString::fromUtf8(bytes);
    const FixedMeasure measure;

    (void)platform::IniFile::parse(bytes).sections();
    (void)core::PercentDecode(text);
    (void)core::ParamListValue(text, QStringLiteral("pagelength"));

    const QStringList lines = text.split(u'\n');
    const core::LogViewLayout log = core::LayoutLogView(lines, measure, QSize(width, 40), Qt::white);
    for (const core::LogRun &run : log.runs)
        check(run.x >= core::LogLeftMargin && run.y >= 0);

    const views::HighlightLayout hl = views::LayoutHighlight(lines, measure, width);
    int lastRow = 0;
    for (const views::HighlightRun &run : hl.runs) {
        check(run.x >= 0 && run.row >= lastRow);
        lastRow = run.row;
        check((run.row + 1) * measure.rowHeight() <= hl.bitmapHeight);
    }
    return 0;
}
