// SPDX-License-Identifier: MIT
#include <QString>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/KeyEvent.h"
#include "platform/KeySender.h"
#include "platform/KeyTap.h"
#include "platform/portal/DesktopNotification.h"
#include "platform/portal/PortalKeyboard.h"
#include "platform/portal/PortalShortcuts.h"
#include "platform/wayland/WaylandPlatform.h"
#include "platform/wayland/WaylandVirtualKeyboard.h"

namespace tarnwick::wayland {

namespace {

char letterOf(int keyCode) {
    switch (keyCode) {
        case keycode::X:
            return 'x';
        case keycode::C:
            return 'c';
        default:
            return 'v';
    }
}

// The keyboard the desktop's RemoteDesktop portal lends, where the compositor
// lends no virtual keyboard; asked for once, when the tap is created.
std::unique_ptr<portal::RemoteKeyboard>& remoteKeyboard() {
    static std::unique_ptr<portal::RemoteKeyboard> shared;
    return shared;
}

// Types Ctrl + letter with whichever keyboard there is; false without one.
bool typeControlChord(char letter) {
    if (keyboard().exists()) {
        keyboard().typeControlChord(letter);
        return true;
    }
    if (remoteKeyboard() && remoteKeyboard()->usable()) {
        remoteKeyboard()->typeControlChord(letter);
        return true;
    }
    return false;
}

bool canTypeChords() {
    return keyboard().exists() || (remoteKeyboard() && remoteKeyboard()->usable());
}

class WaylandKeySender final : public KeySender {
public:
    void postCommandKey(int keyCode) override { typeControlChord(letterOf(keyCode)); }
};

// The XDG shortcut form of the enabled modifier with the row's digit. With
// none on yet, ctrl: the one the window switches on when it first opens.
QString preferredTrigger(const ModifierToggles& toggles, int row) {
    const char* modifier = "CTRL";
    if (!toggles.command && toggles.control) modifier = "LOGO";
    if (!toggles.command && !toggles.control && toggles.fn) modifier = "ALT";
    return QStringLiteral("%1+%2").arg(QLatin1String(modifier)).arg(row % 10);
}

// No keyboard-wide tap exists on Wayland: the desktop's global shortcuts
// (where its portal offers them) and its own shortcuts running
// tarnwick --paste N arrive here.
class WaylandKeyTap final : public KeyTap {
public:
    ~WaylandKeyTap() override { remoteKeyboard().reset(); }

    void setNoticeListener(std::function<void(const TapNotice&)> listener) override {
        noticeListener_ = std::move(listener);
    }

    bool create(std::unique_ptr<KeyFilter> filter) override {
        filter_ = std::move(filter);
        std::vector<portal::Shortcut> shortcuts;
        for (int row = 1; row <= 10; ++row) {
            shortcuts.push_back({QStringLiteral("paste-%1").arg(row),
                                 QStringLiteral("Paste entry %1").arg(row),
                                 preferredTrigger(filter_->toggles(), row)});
        }
        // Bound once: from here on the desktop's settings, not the toggles,
        // decide the keys.
        shortcuts_ = portal::GlobalShortcuts::bind(std::move(shortcuts), [this](const QString& id) {
            bool number = false;
            const int row = id.mid(QStringLiteral("paste-").size()).toInt(&number);
            if (id.startsWith(QStringLiteral("paste-")) && number && row >= 1 && row <= 10) {
                pasteEntry(row - 1);
            }
        });
        if (!keyboard().exists()) {
            remoteKeyboard() = portal::RemoteKeyboard::open([this](bool usable) { tell(usable); });
        }
        return true;
    }
    void enable() override {}
    bool isEnabled() const override { return filter_ != nullptr; }
    std::string failureMessage() const override { return {}; }

    bool pasteEntry(int index) override {
        const bool chord = canTypeChords();
        if (!filter_ ||
            !filter_->carryOutPaste({KeyDecision::Action::paste, index, false, !chord})) {
            return false;
        }
        if (chord) typeControlChord('v');
        return true;
    }

private:
    // Says once on standard output and in a notification bubble, and in the
    // status menu while it holds, that the paste key is the user's to press.
    void tell(bool canType) {
        const std::string line =
            canType ? std::string()
                    : "Nothing may type the paste key on this desktop: after a paste shortcut, "
                      "press Ctrl+V yourself within " +
                          std::to_string(handPasteHold.count() / 1000) + " seconds.";
        if (canType) {
            std::printf("The desktop lent Tarnwick a keyboard to paste with.\n");
        } else if (!toldByHand_) {
            toldByHand_ = true;
            std::printf("%s\n", line.c_str());
            portal::notify(QString::fromStdString(line));
        }
        std::fflush(stdout);
        if (noticeListener_) noticeListener_({line, false});
    }

    std::unique_ptr<KeyFilter> filter_;
    std::unique_ptr<portal::GlobalShortcuts> shortcuts_;
    std::function<void(const TapNotice&)> noticeListener_;
    bool toldByHand_ = false;
};

}  // namespace

bool hasVirtualKeyboard() {
    return keyboard().exists();
}

std::unique_ptr<KeySender> makeKeySender() {
    return std::make_unique<WaylandKeySender>();
}

std::unique_ptr<KeyTap> makeKeyTap() {
    return std::make_unique<WaylandKeyTap>();
}

}  // namespace tarnwick::wayland
