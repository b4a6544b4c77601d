#include "core/Registry.h"

#include "platform/Dialogs.h"

namespace core {

void TRegistry::registerFrame(FrameKind kind, FrameFactory factory) { m_frames[kind] = std::move(factory); }

TFrame *TRegistry::createFrame(FrameKind kind, QWidget *parent) const {
    auto it = m_frames.find(kind);
    return it != m_frames.end() && it->second ? it->second(parent) : nullptr;
}

bool TRegistry::hasFrame(FrameKind kind) const { return m_frames.count(kind) > 0; }

void TRegistry::registerOpener(const QString &name, Opener opener) { m_openers[name] = std::move(opener); }

bool TRegistry::hasOpener(const QString &name) const { return m_openers.count(name) > 0; }

bool TRegistry::open(const QString &name, const QVariantList &args) const {
    auto it = m_openers.find(name);
    if (it == m_openers.end() || !it->second)
        return false;
    it->second(args);
    return true;
}

bool TRegistry::askInput(const QString &caption, const QString &prompt, QString &text) const {
    if (m_input)
        return m_input(caption, prompt, text);
    return platform::dialogs().inputQuery(caption, prompt, text);
}

void TRegistry::clear() {
    m_frames.clear();
    m_openers.clear();
    m_input = nullptr;
}

TRegistry &registry() {
    static TRegistry instance;
    return instance;
}

}  // namespace core
