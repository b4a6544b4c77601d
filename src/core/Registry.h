#pragma once
// The one place where windows of one subsystem are opened by another and
// where the main window gets the frames of its tabs.
//
// DESIGN
// The folders form a one-way stack, so core cannot name the agenda frame and
// the planning folder cannot name the versions window. app/ fills this
// registry at start-up with a factory per frame kind and an opener per
// window; tests fill it with recorders. An opener is keyed by its request
// type (Openers.h) and returns that request's Result, so what passes between
// two subsystems is checked by the compiler. A frame kind without a factory
// shows the "not in use" caption; a window without an opener keeps its menu
// item disabled.

#include "core/Openers.h"

#include <any>
#include <functional>
#include <map>
#include <optional>
#include <typeindex>
#include <typeinfo>

class QWidget;

namespace core {

class TFrame;

// The working frames the tab pairs are made of.
enum class FrameKind {
    Bronnen,  // sources
    Agenda,  // agenda list
    Todo,  // production list
    Klaar,  // ready list
    Cyclus,  // programme cycle
    CyclusOnAir  // programme cycle switched to on-air mode
};

using FrameFactory = std::function<TFrame *(QWidget *parent)>;

// Opens the window of Request and returns its answer.
template <class Request>
using OpenerFor = std::function<typename Request::Result(const Request &)>;

class TRegistry {
public:
    void registerFrame(FrameKind kind, FrameFactory factory);
    // A new frame with parent, or nullptr when no factory is registered.
    TFrame *createFrame(FrameKind kind, QWidget *parent) const;
    bool hasFrame(FrameKind kind) const;

    // Replaces the opener of Request; an empty function removes it.
    template <class Request>
    void registerOpener(OpenerFor<Request> opener)
    {
        if (opener)
            m_openers[key<Request>()] = std::move(opener);
        else
            m_openers.erase(key<Request>());
    }

    template <class Request>
    bool hasOpener() const
    {
        return m_openers.count(key<Request>()) > 0;
    }

    // The window's result, or std::nullopt when no opener is registered.
    template <class Request>
    std::optional<typename Request::Result> open(const Request &request) const
    {
        const auto it = m_openers.find(key<Request>());
        if (it == m_openers.end())
            return std::nullopt;
        return std::any_cast<const OpenerFor<Request> &>(it->second)(request);
    }

    void clear();

private:
    template <class Request>
    static std::type_index key()
    {
        return std::type_index(typeid(Request));
    }

    std::map<FrameKind, FrameFactory> m_frames;
    std::map<std::type_index, std::any> m_openers;  // Request -> OpenerFor<Request>
};

// The program's registry.
TRegistry &registry();

}  // namespace core
