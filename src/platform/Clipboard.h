#pragma once
// The clipboard as the client sees it: plain text whose line ends are CR LF,
// as the classic platform delivered them, whatever the desktop uses. The
// application uses the Qt implementation; tests install their own (a
// MemoryClipboard, say) to see exactly what the code under test put there.

#include <QString>

namespace platform {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual QString text() const = 0;  // empty when there is no text
    virtual void setText(const QString &text) = 0;
};

// The installed implementation; before anything is installed, a QtClipboard.
Clipboard &clipboard();

// Installs c (not owned) and returns the previous one; nullptr restores the
// Qt implementation.
Clipboard *setClipboard(Clipboard *c);

// The desktop clipboard. Line ends are translated both ways: text() turns
// LF, CR LF and lone CR into CR LF; setText() hands the desktop its own line
// end, so a copied hard return pastes as a line break in other programs.
class QtClipboard : public Clipboard {
public:
    QString text() const override;
    void setText(const QString &text) override;
};

// A clipboard that only remembers, for tests and for programs without a
// desktop.
class MemoryClipboard : public Clipboard {
public:
    QString text() const override { return m_text; }
    void setText(const QString &text) override { m_text = text; }

private:
    QString m_text;
};

// CR LF, lone CR and lone LF all become CR LF.
QString toCrLf(const QString &text);

}  // namespace platform
