// Renames the main window's menu from the loaded language's menu section.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/translation/langue.h"

class QAction;
class QMenuBar;

namespace vantrel {

// Applies `section` to `menuBar`: a command key renames the action `actionOf` gives for its id
// (actions not in the menu too), a menu-bar key after "#ColMenu" the menu-bar entry at its
// position, keeping its drop-down menu.  A key the program does not know is reported through
// `report` ("Error in translation", key + ": String not found"), once per such line; the other
// lines are still applied.  Lines without a text rename nothing.
void TranslateMenu(const std::vector<MenuSectionLine>& section, QMenuBar& menuBar,
                   const std::function<QAction*(int)>& actionOf,
                   const std::function<void(const QString& title, const QString& text)>& report);

}  // namespace vantrel
