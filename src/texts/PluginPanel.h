#pragma once
// TPluginPanel: a row of the input panel run by a plug-in library loaded at
// run time. The library places its own controls in the panel and is driven
// through the C interface of plugins/include/quillon_plugin.h, which also
// defines the context TNewsroom handed to it.
//
// DESIGN. The panel owns, in this order of release: the library's controls
// (its children), the library, and the context (with the wait window). The
// children go before the library is unloaded, because their code lives in
// the library. The connection data the context carries (server host and
// port, login name, password) belong to the running program, which installs
// a provider for them at start-up; the panel never reaches for program state.

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

struct TNewsroom;

namespace texts {

// The program's connection to the coordination server, as plug-ins see it.
struct PluginConnection {
    QString host;
    int port = 0;
    QString loginName;
    QString password;
};
using PluginConnectionProvider = std::function<PluginConnection()>;

class TPluginPanel : public QWidget {
    Q_OBJECT
public:
    // The context is filled here: connection data from the provider, textId.
    explicit TPluginPanel(int textId, QWidget *parent = nullptr);
    ~TPluginPanel() override;

    // Installed by the program; without one the context's texts are empty.
    static void setConnectionProvider(PluginConnectionProvider provider);

    // Loads the plug-in called name and runs Init, GetHeight and SetWidth. A
    // library that cannot be loaded leaves the panel empty without a word; a
    // missing required export shows "Oops: <export> not found", after which
    // DeInit (when present) runs and the library is unloaded.
    void Load(const QString &name);
    bool Loaded() const;

    // The plug-in's value; empty when it has no GetValue (or none is loaded).
    QString GetValue() const;
    // Hands value to the plug-in's SetValue, when it has one.
    void SetValue(const QString &value);

    TNewsroom *Newsroom() const;
    QWidget *WaitWindow() const;

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Exports;
    class Context;
    void unloadLibrary();

    std::unique_ptr<Context> m_context;
    std::unique_ptr<Exports> m_exports;
    int m_height = 10;  // until the library reports its own
};

}  // namespace texts
