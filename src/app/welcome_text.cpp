#include "app/welcome_text.h"

#include "app/startup_text.h"

namespace spotlex {

std::string WelcomeTitle() {
    return std::string("Welcome to ") + kProductName;
}

std::string WelcomeText() {
    const std::string name = kProductName;
    const std::string blank = "\r\n\r\n";
    return name +
           " provides an intuitive way for your audience to see your actions as you perform them "
           "(spot-lex)." +
           blank +
           "Normally there would be no way for your audience to know when you click, double-click or "
           "right-click "
           "with your mouse.  There would also be no way to know when you use shortcut keys within an "
           "application "
           "(like F5 or Control-S)." +
           blank +
           "In other words, even though you may know an application very well, it would be almost impossible "
           "to "
           "relay everything that you do to you audience.  " +
           name + " allows your audience to witness your actions directly, and learn from your example." +
           blank + "Perhaps the best thing about " + name +
           " is that it will not affect the way that you work in any way.  " +
           "Continue to work normally, and " + name +
           " will automatically show your actions as you perform them.  " + blank +
           "To get started, simply close this window and work normally.  You may right-click the icon in the "
           "taskbar "
           "tray to turn on other features of the software.";
}

}  // namespace spotlex
