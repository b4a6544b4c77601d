// bijlage: the example plug-in of the input panel. It attaches a file to a
// text: a line with the file's name and a "..." button that opens the panel's
// own file dialog. Its value is the file name. Template entry:
//     plugin_bijlage:bijlage:Bijlage:"":
//
// It shows what every plug-in has to get right: state per panel in
// TNewsroom.userdata (two rows may share the library), controls placed in the
// panel it is given, and everything it made released again in DeInit.

#include "quillon_plugin.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

namespace {

struct Attachment {
    QLineEdit *file = nullptr;
    QToolButton *choose = nullptr;
    QByteArray value;  // what GetValue returned last; must outlive the call
};

constexpr int kButtonWidth = 25;

Attachment *state(TNewsroom *newsroom)
{
    return static_cast<Attachment *>(newsroom->userdata);
}

void choose(TNewsroom *newsroom)
{
    Attachment *a = state(newsroom);
    const QByteArray dir = QFileInfo(a->file->text()).absolutePath().toUtf8();
    const char *chosen = newsroom->openfile(newsroom->host, "Bijlage kiezen",
                                            a->file->text().isEmpty() ? "" : dir.constData(), "Alle bestanden (*)");
    if (chosen)
        a->file->setText(QString::fromUtf8(chosen));
}

}  // namespace

QUILLON_PLUGIN_EXPORT void Init(TNewsroom *newsroom, void *panel)
{
    auto *parent = static_cast<QWidget *>(panel);
    auto *a = new Attachment;
    a->file = new QLineEdit(parent);
    a->file->setObjectName(QStringLiteral("bestand"));
    a->file->setPlaceholderText(QStringLiteral("geen bijlage"));
    a->choose = new QToolButton(parent);
    a->choose->setObjectName(QStringLiteral("kiezen"));
    a->choose->setText(QStringLiteral("..."));
    a->choose->setToolTip(QStringLiteral("Bijlage kiezen"));
    QObject::connect(a->choose, &QToolButton::clicked, a->file, [newsroom] { choose(newsroom); });
    a->file->show();
    a->choose->show();
    newsroom->userdata = a;
}

QUILLON_PLUGIN_EXPORT int32_t GetHeight(TNewsroom *newsroom)
{
    return state(newsroom)->file->sizeHint().height();
}

QUILLON_PLUGIN_EXPORT void SetWidth(TNewsroom *newsroom, int32_t width)
{
    Attachment *a = state(newsroom);
    const int height = a->file->sizeHint().height();
    const int fileWidth = width - kButtonWidth > 0 ? width - kButtonWidth : 0;
    a->file->setGeometry(0, 0, fileWidth, height);
    a->choose->setGeometry(fileWidth, 0, kButtonWidth, height);
}

QUILLON_PLUGIN_EXPORT const char *GetValue(TNewsroom *newsroom)
{
    Attachment *a = state(newsroom);
    a->value = a->file->text().toUtf8();
    return a->value.constData();
}

QUILLON_PLUGIN_EXPORT void SetValue(TNewsroom *newsroom, const char *value)
{
    state(newsroom)->file->setText(QString::fromUtf8(value));
}

QUILLON_PLUGIN_EXPORT void DeInit(TNewsroom *newsroom)
{
    Attachment *a = state(newsroom);
    if (!a)
        return;
    delete a->choose;
    delete a->file;
    delete a;
    newsroom->userdata = nullptr;
}
