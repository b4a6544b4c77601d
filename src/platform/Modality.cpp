#include "platform/Modality.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace platform {

namespace {

const char *kOwnerProperty = "quillonOwner";

// Watches the modal dialog a window was lent to and gives the window back
// to its owner when the dialog hides.
class Lender : public QObject {
public:
    Lender(QWidget *window, QWidget *host) : QObject(host), m_window(window), m_host(host)
    {
        host->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_host && event->type() == QEvent::Hide)
            giveBack();
        return false;
    }

private:
    void giveBack()
    {
        m_host->removeEventFilter(this);
        QPointer<QWidget> window = m_window;
        if (window && window->parentWidget() == m_host) {
            // Hidden with the dialog, but not closed by the editor.
            const bool open = !window->isHidden();
            auto *owner = qvariant_cast<QWidget *>(window->property(kOwnerProperty));
            const QPoint pos = window->pos();
            window->setParent(owner, window->windowFlags());
            window->move(pos);
            if (open)
                QTimer::singleShot(0, window, [window] {
                    if (window)
                        ShowBesideModal(window);
                });
        }
        deleteLater();
    }

    QPointer<QWidget> m_window;
    QWidget *m_host;
};

}  // namespace

void ShowBesideModal(QWidget *window)
{
    if (!window->property(kOwnerProperty).isValid())
        window->setProperty(kOwnerProperty, QVariant::fromValue(window->parentWidget()));
    QWidget *host = QApplication::activeModalWidget();
    if (host && host != window && !window->isAncestorOf(host) && window->parentWidget() != host) {
        const QPoint pos = window->isVisible() ? window->pos() : QPoint();
        const bool placed = window->isVisible();
        window->setParent(host, window->windowFlags());
        if (placed)
            window->move(pos);
        new Lender(window, host);
    }
    window->show();
    window->raise();  // not activated: the editor may be typing elsewhere
}

}  // namespace platform
