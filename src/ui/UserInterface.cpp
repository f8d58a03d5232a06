#include "ui/UserInterface.h"

#include <QCheckBox>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace tarnwick {

class UserInterface::MyWindow : public QWidget {};
class UserInterface::MyToggleButton : public QCheckBox {};

UserInterface::UserInterface(Services services) : services_(services) {
    helpWindow = new MyWindow;
    fnButton = new MyToggleButton;
    ctrlButton = new MyToggleButton;
    cmdButton = new MyToggleButton;
}

UserInterface::~UserInterface() { delete helpWindow; }

void UserInterface::help() {
    helpWindow->setWindowTitle(QStringLiteral("Tarnwick"));
    helpWindow->show();
}

void UserInterface::quit() {
    std::fflush(stdout);
    std::_Exit(0);
}

QStringList UserInterface::addTextField(const QString& text) {
    rows_.prepend(text);
    return rows_;
}

bool UserInterface::fnEnabled() const { return fnButton->isChecked(); }
bool UserInterface::ctrlEnabled() const { return ctrlButton->isChecked(); }
bool UserInterface::cmdEnabled() const { return cmdButton->isChecked(); }

void UserInterface::setTogglesChangedListener(std::function<void()> listener) {
    togglesChanged_ = std::move(listener);
}

}  // namespace tarnwick
