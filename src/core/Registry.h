#pragma once
// The one place where windows of one subsystem are opened by another and
// where the main window gets the frames of its tabs.
//
// DESIGN
// The folders form a one-way stack, so core cannot name the agenda frame and
// the planning folder cannot name the versions window. app/ fills this
// registry at start-up with a factory per frame kind and an opener per
// window; tests fill it with recorders. A frame kind without a factory shows
// the "not in use" caption; a window without an opener keeps its menu item
// disabled.

#include <QString>
#include <QVariantList>

#include <functional>
#include <map>

class QWidget;

namespace core {

class TFrame;

// The working frames the tab pairs are made of.
enum class FrameKind {
    Bronnen,     // sources
    Agenda,      // agenda list
    Todo,        // production list
    Klaar,       // ready list
    Cyclus,      // programme cycle
    CyclusOnAir  // programme cycle switched to on-air mode
};

using FrameFactory = std::function<TFrame *(QWidget *parent)>;
using Opener = std::function<void(const QVariantList &args)>;

// Names of the openers the core itself uses; subsystems add their own.
namespace openers {
inline const QString Settings = QStringLiteral("settings");        // settings dialog, after the password check
inline const QString SqlWindow = QStringLiteral("sql");            // SQL window
inline const QString Archive = QStringLiteral("archive");          // archive search
inline const QString FilmTimes = QStringLiteral("filmtijden");     // film-times dialog (lock held by the caller)
inline const QString Promo = QStringLiteral("promo");              // promo window
inline const QString AddressBook = QStringLiteral("addressbook");  // args: address book id
inline const QString ViewText = QStringLiteral("viewtext");        // args: caption, markup (the text view window)
inline const QString AgendaItem = QStringLiteral("agendaitem");    // args: agenda id (the item dialog, saved on OK)
}  // namespace openers

class TRegistry {
public:
    void registerFrame(FrameKind kind, FrameFactory factory);
    // A new frame with parent, or nullptr when no factory is registered.
    TFrame *createFrame(FrameKind kind, QWidget *parent) const;
    bool hasFrame(FrameKind kind) const;

    void registerOpener(const QString &name, Opener opener);
    bool hasOpener(const QString &name) const;
    // Runs the opener; false when none is registered.
    bool open(const QString &name, const QVariantList &args = {}) const;

    // The shared input dialog (caption, prompt, text in/out) -> OK. Until a
    // subsystem registers TInvoer, the dialog service's input query stands in.
    using InputDialog = std::function<bool(const QString &caption, const QString &prompt, QString &text)>;
    void registerInputDialog(InputDialog dialog) { m_input = std::move(dialog); }
    bool askInput(const QString &caption, const QString &prompt, QString &text) const;

    void clear();

private:
    std::map<FrameKind, FrameFactory> m_frames;
    std::map<QString, Opener> m_openers;
    InputDialog m_input;
};

// The program's registry.
TRegistry &registry();

}  // namespace core
