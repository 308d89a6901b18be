#include "app/translation/menu_translation.h"

#include <QAction>
#include <QMenuBar>

#include "app/translation/menu_names.h"
#include "app/ui_text.h"

namespace vantrel {

void TranslateMenu(const std::vector<MenuSectionLine>& section, QMenuBar& menuBar,
                   const std::function<QAction*(int)>& actionOf,
                   const std::function<void(const QString& title, const QString& text)>& report) {
    for (const MenuSectionLine& line : section) {
        const std::optional<MenuName> name = FindMenuName(line.key);
        if (!name) {
            report(QStringLiteral("Error in translation"),
                   FromWestern(line.key) + QStringLiteral(": String not found"));
            continue;
        }
        if (line.text.empty()) continue;  // a blank entry could not be found in the menu again
        const QString text = FromWestern(line.text);
        if (line.byPosition) {
            if (name->kind != MenuNameKind::MenuBar) continue;
            const QList<QAction*> entries = menuBar.actions();
            if (name->number < entries.size()) entries[name->number]->setText(text);
        } else if (name->kind == MenuNameKind::Command) {
            if (QAction* action = actionOf(name->number)) action->setText(text);
        }
    }
}

}  // namespace vantrel
