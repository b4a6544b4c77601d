#include "texts/PluginPanel.h"

#include "platform/Dialogs.h"
#include "platform/PluginLibrary.h"
#include "quillon_plugin.h"

#include <QGuiApplication>
#include <QPointer>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace texts {

namespace {
PluginConnectionProvider &connectionProvider()
{
    static PluginConnectionProvider provider;
    return provider;
}

// "Een ogenblik": shown by a plug-in around work that blocks the program.
class WaitForm : public QWidget {
public:
    WaitForm() : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    {
        setObjectName(QStringLiteral("WaitWindow"));
        setWindowTitle(QStringLiteral("Een ogenblik"));
        setFixedSize(250, 50);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        progress = new QProgressBar(this);
        progress->setObjectName(QStringLiteral("ProgressBar"));
        progress->setTextVisible(false);
        progress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(progress);
    }

    void showCentred()
    {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        show();
        raise();
        repaint();
    }

    QProgressBar *progress = nullptr;
};
}  // namespace

// The library's entry points; null where it exports nothing of that name.
struct TPluginPanel::Exports {
    platform::PluginLibrary library;
    QuillonInitFunction init = nullptr;
    QuillonGetHeightFunction getHeight = nullptr;
    QuillonSetWidthFunction setWidth = nullptr;
    QuillonGetValueFunction getValue = nullptr;
    QuillonSetValueFunction setValue = nullptr;
    QuillonDeInitFunction deInit = nullptr;
    bool started = false;  // Init, GetHeight and SetWidth all present and called
};

// Owns the TNewsroom handed to the library and everything its words point at.
class TPluginPanel::Context {
public:
    Context(int textId, const PluginConnection &c)
        : m_host(c.host.toUtf8()), m_login(c.loginName.toUtf8()), m_password(c.password.toUtf8())
    {
        newsroom.structsize = sizeof(TNewsroom);
        newsroom.apiversion = QUILLON_PLUGIN_API_VERSION;
        newsroom.textid = textId;
        newsroom.serverhost = m_host.constData();
        newsroom.serverport = c.port;
        newsroom.loginname = m_login.constData();
        newsroom.password = m_password.constData();
        newsroom.host = this;
        newsroom.openfile = &Context::openFile;
        newsroom.waitshow = [](void *host) { self(host)->m_wait.showCentred(); };
        newsroom.waithide = [](void *host) { self(host)->m_wait.hide(); };
        newsroom.progressrange = [](void *host, int32_t minimum, int32_t maximum) {
            self(host)->m_wait.progress->setRange(minimum, maximum);
            self(host)->m_wait.progress->repaint();
        };
        newsroom.progressposition = [](void *host, int32_t position) {
            self(host)->m_wait.progress->setValue(position);
            self(host)->m_wait.progress->repaint();
        };
        newsroom.userdata = nullptr;
    }

    TNewsroom newsroom{};
    QWidget *waitWindow() { return &m_wait; }

private:
    static Context *self(void *host) { return static_cast<Context *>(host); }

    static QString text(const char *utf8) { return utf8 ? QString::fromUtf8(utf8) : QString(); }

    static const char *openFile(void *host, const char *caption, const char *directory, const char *filter)
    {
        Context *c = self(host);
        const QString file = platform::dialogs().openFileName(text(caption), text(directory), text(filter));
        if (file.isEmpty())
            return nullptr;
        c->m_lastFile = file.toUtf8();
        return c->m_lastFile.constData();
    }

    QByteArray m_host;
    QByteArray m_login;
    QByteArray m_password;
    QByteArray m_lastFile;  // the open-file dialog's last answer, for the library to read
    WaitForm m_wait;
};

namespace {
template <typename F>
F lookup(const platform::PluginLibrary &library, const char *symbol)
{
    return reinterpret_cast<F>(library.resolve(symbol));
}
}  // namespace

TPluginPanel::TPluginPanel(int textId, QWidget *parent) : QWidget(parent)
{
    const PluginConnectionProvider &provider = connectionProvider();
    m_context = std::make_unique<Context>(textId, provider ? provider() : PluginConnection{});
    resize(width(), m_height);
}

TPluginPanel::~TPluginPanel()
{
    unloadLibrary();
    m_context.reset();
}

void TPluginPanel::setConnectionProvider(PluginConnectionProvider provider)
{
    connectionProvider() = std::move(provider);
}

void TPluginPanel::Load(const QString &name)
{
    unloadLibrary();
    auto e = std::make_unique<Exports>();
    if (!e->library.load(name))
        return;
    e->init = lookup<QuillonInitFunction>(e->library, "Init");
    e->getHeight = lookup<QuillonGetHeightFunction>(e->library, "GetHeight");
    e->setWidth = lookup<QuillonSetWidthFunction>(e->library, "SetWidth");
    e->getValue = lookup<QuillonGetValueFunction>(e->library, "GetValue");
    e->setValue = lookup<QuillonSetValueFunction>(e->library, "SetValue");
    e->deInit = lookup<QuillonDeInitFunction>(e->library, "DeInit");
    m_exports = std::move(e);

    TNewsroom *n = &m_context->newsroom;
    QString missing;
    if (!m_exports->init) {
        missing = QStringLiteral("Init");
    } else {
        m_exports->init(n, static_cast<QWidget *>(this));
        if (!m_exports->getHeight) {
            missing = QStringLiteral("GetHeight");
        } else {
            m_height = m_exports->getHeight(n);
            resize(width(), m_height);
            if (!m_exports->setWidth)
                missing = QStringLiteral("SetWidth");
            else
                m_exports->setWidth(n, width());
        }
    }
    if (!missing.isEmpty()) {
        platform::showError(QStringLiteral("Oops: %1 not found").arg(missing));
        unloadLibrary();
        return;
    }
    m_exports->started = true;
    updateGeometry();
}

bool TPluginPanel::Loaded() const
{
    return m_exports && m_exports->library.isLoaded();
}

QString TPluginPanel::GetValue() const
{
    if (!m_exports || !m_exports->started || !m_exports->getValue)
        return {};
    const char *value = m_exports->getValue(&m_context->newsroom);
    return value ? QString::fromUtf8(value) : QString();
}

void TPluginPanel::SetValue(const QString &value)
{
    if (!m_exports || !m_exports->started || !m_exports->setValue)
        return;
    const QByteArray utf8 = value.toUtf8();
    m_exports->setValue(&m_context->newsroom, utf8.constData());
}

TNewsroom *TPluginPanel::Newsroom() const
{
    return &m_context->newsroom;
}

QWidget *TPluginPanel::WaitWindow() const
{
    return m_context->waitWindow();
}

QSize TPluginPanel::sizeHint() const
{
    return {width(), m_height};
}

void TPluginPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_exports && m_exports->started && event->size().width() != event->oldSize().width())
        m_exports->setWidth(&m_context->newsroom, event->size().width());
}

// DeInit, then the library's controls, then the library: nothing of the
// library may run once its code is gone.
void TPluginPanel::unloadLibrary()
{
    if (!m_exports)
        return;
    if (m_exports->deInit && m_exports->library.isLoaded())
        m_exports->deInit(&m_context->newsroom);
    QList<QPointer<QObject>> kids;
    for (QObject *child : children())
        kids.append(child);
    for (const QPointer<QObject> &child : kids)
        delete child.data();
    m_exports->library.unload();
    m_exports.reset();
    m_context->newsroom.userdata = nullptr;
}

}  // namespace texts
