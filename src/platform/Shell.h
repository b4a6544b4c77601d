#pragma once
// The operating system's open action for web pages, mail links and files
// (the menu's web addresses, links in sources and mails). It goes through a
// hook so tests record what would have been opened instead of starting a
// browser.

#include <QString>
#include <QUrl>

#include <functional>

namespace platform {

// Opens the URL; returns false when nothing could open it.
using OpenUrlHook = std::function<bool(const QUrl &url)>;

// Installs hook (empty restores QDesktopServices); returns the previous one.
OpenUrlHook setOpenUrlHook(OpenUrlHook hook);

// What shellOpen makes of a target: a text with a scheme ("http://...",
// "mailto:...", "file:...") is that URL; "www." gets "http://" in front;
// anything else is a local file path, made absolute.
QUrl shellTarget(const QString &target);

// Hands target to the open action; false for an empty target or when it fails.
bool shellOpen(const QString &target);

}  // namespace platform
