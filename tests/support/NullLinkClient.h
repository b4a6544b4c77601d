#pragma once
// A server link client that does nothing: a test fake derives from it and
// overrides only what it records or answers.

#include "core/ServerLink.h"

namespace testsupport {

class NullLinkClient : public core::TLinkClient {
public:
    void showStatusLine(const QString &) override {}
    void logStatus(const QString &) override {}
    void announce(const QString &, const QString &) override {}
    bool askHandOver(const QString &) override { return false; }  // keeps the role
    void rosterChanged(const QStringList &) override {}
    void finalEditorChanged() override {}
    void serverDown(const QString &, const QString &) override {}
    void connectionLost() override {}
    int leftTab() const override { return 0; }
    int rightTab() const override { return 0; }
    void frameMessage(core::PanelSide, const QString &, const QString &) override {}
    void refreshPanel(core::PanelSide) override {}
};

}  // namespace testsupport
