// The names a language file's menu section may use: the menu commands by their names, the
// menu-bar entries by their position, and the names of the dialogs and controls (accepted, they
// rename nothing a user sees).
#pragma once

#include <optional>
#include <string_view>

namespace vantrel {

enum class MenuNameKind {
    Command,   // a menu command: number is its command id
    MenuBar,   // a menu-bar entry: number is its position, counted from 0
    Resource,  // a dialog or control name: known, renames nothing in the menu
};

struct MenuName {
    MenuNameKind kind;
    int number;
};

// What a name of the menu section stands for; nothing for a name the program does not know.
std::optional<MenuName> FindMenuName(std::string_view name);

// The name of a menu command (its tooltip and prompt keys are the name + "_TIP" and "_PROMPT"),
// or nullptr for a command without one.
const char* CommandName(int commandId);

}  // namespace vantrel
