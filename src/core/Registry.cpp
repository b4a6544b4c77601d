#include "core/Registry.h"

namespace core {

void TRegistry::registerFrame(FrameKind kind, FrameFactory factory)
{
    m_frames[kind] = std::move(factory);
}

TFrame *TRegistry::createFrame(FrameKind kind, QWidget *parent) const
{
    auto it = m_frames.find(kind);
    return it != m_frames.end() && it->second ? it->second(parent) : nullptr;
}

bool TRegistry::hasFrame(FrameKind kind) const
{
    return m_frames.count(kind) > 0;
}

void TRegistry::clear()
{
    m_frames.clear();
    m_openers.clear();
}

TRegistry &registry()
{
    static TRegistry instance;
    return instance;
}

}  // namespace core
